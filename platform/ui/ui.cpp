#include "platform/ui/ui.h"

#include <iostream>

namespace ui {
namespace {
HeadlessHost& headless() {
  static HeadlessHost h;
  return h;
}
Host* gHost = nullptr;
ProgressTarget* gProgress = nullptr;
}  // namespace

Host& host() { return gHost ? *gHost : headless(); }
void setHost(Host* h) { gHost = h; }

ProgressTarget* progressTarget() { return gProgress; }
void setProgressTarget(ProgressTarget* t) { gProgress = t; }

ScopedHost::ScopedHost(Host& h) : previous_(gHost) { gHost = &h; }
ScopedHost::~ScopedHost() { gHost = previous_; }

ScopedProgressTarget::ScopedProgressTarget(ProgressTarget& t) : previous_(gProgress) { gProgress = &t; }
ScopedProgressTarget::~ScopedProgressTarget() { gProgress = previous_; }

int HeadlessHost::messageBox(const std::string& text, int style, const std::string& title) {
  std::cerr << "[" << (title.empty() ? applicationTitle() : title) << "] " << text << '\n';
  const int buttons = buttonsOf(style);
  return (buttons == kYesNo || buttons == kYesNoCancel) ? kYes : kOk;
}

int RecordingHost::messageBox(const std::string& text, int style, const std::string& title) {
  messages.push_back({text, style, title});
  if (!answers.empty()) {
    const int a = answers.front();
    answers.pop_front();
    return a;
  }
  const int buttons = buttonsOf(style);
  return (buttons == kYesNo || buttons == kYesNoCancel) ? kYes : kOk;
}

}  // namespace ui
