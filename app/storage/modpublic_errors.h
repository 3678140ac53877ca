// The program's one error box and the error helper of every data procedure.
#pragma once

#include <string>
#include <type_traits>

#include "libs/vb/vberror.h"

namespace modpublic {

// Shows the program's error box. The text is the message, a blank line and the current
// error ("Error <n> - <description>", or the text of the last platform error), followed
// directly by the suffix. Nothing is shown (and the current error is kept) when that text
// is empty; otherwise the current error is cleared afterwards. An empty title gives the
// application's own title. The wait cursor is switched off first.
void ShowError(const std::string& message, long buttons, const std::string& title, const std::string& suffix = {});

// "Error <n>  -  <system text>" for a platform (errno) error number; empty for 0 or an
// unknown number.
std::string GetSystemErrorText(long number);

namespace detail {
// The text of a RunGuarded message: the string itself, or what the function returns.
template <class Message>
std::string GuardMessage(const Message& message) {
  if constexpr (std::is_invocable_v<const Message&>)
    return message();
  else
    return std::string(message);
}
}  // namespace detail

// Runs the body of a data procedure. When it throws, the exception becomes the current
// error, the error box shows `message` with `style` under `title`, and the result is false.
// `message` is read when the error happens, so a step text the body keeps up to date
// names the step that failed; a function returning the text (`[&] { return step + " failed"; }`)
// builds it from that step at the same moment.
// The body returns bool (its own result) or nothing (success).
template <class Message, class F>
bool RunGuarded(const std::string& title, const Message& message, long style, F&& body) {
  try {
    if constexpr (std::is_void_v<std::invoke_result_t<F>>) {
      body();
      return true;
    } else {
      return static_cast<bool>(body());
    }
  } catch (...) {
    vb::SetErrFromCurrentException();
    ShowError(detail::GuardMessage(message), style, title);
    return false;
  }
}

}  // namespace modpublic
