#include "app/storage/modpublic_errors.h"

#include <cstring>
#include <string>

#include "platform/ui/ui.h"

namespace modpublic {

std::string GetSystemErrorText(long number) {
  if (number == 0) return {};
  // strerror_r (GNU form) gives "Unknown error N" for numbers the system has no text for.
  char buf[1024];
  const char* text = strerror_r(static_cast<int>(number), buf, sizeof buf);
  if (text == nullptr || *text == '\0') return {};
  const std::string s(text);
  if (s.rfind("Unknown error", 0) == 0) return {};
  return "Error " + std::to_string(number) + "  -  " + s + "\r\n";
}

void ShowError(const std::string& message, long buttons, const std::string& title, const std::string& suffix) {
  ui::Host& h = ui::host();
  h.setWaitCursor(false);

  vb::ErrObject& err = vb::Err();
  std::string errorText;
  if (err.Number != 0) {
    errorText = "Error " + std::to_string(err.Number) + " - " + err.Description;
  } else if (err.LastDllError != 0) {
    if (!err.Description.empty())
      errorText = "Error " + std::to_string(err.LastDllError) + " - " + err.Description;
    else
      errorText = GetSystemErrorText(err.LastDllError);
  }

  // From here on nothing may fail the caller.
  try {
    std::string text;
    if (!message.empty() && !errorText.empty())
      text = message + "\r\n\r\n" + errorText;
    else if (!errorText.empty())
      text = errorText;
    else
      text = message;
    if (!suffix.empty()) text += suffix;

    if (!text.empty()) {
      h.messageBox(text, static_cast<int>(buttons), title.empty() ? h.applicationTitle() : title);
      err.Clear();
    }
  } catch (const std::exception& e) {
    vb::NoteIgnoredError("modpublic::ShowError", e);
  }
}

}  // namespace modpublic
