// The user-interface services that code below the windows needs: message boxes, the
// progress target of a running calculation, event pumping and the wait cursor.
//
// Storage and calculation code never creates a widget. It calls ui::host() and
// ui::progressTarget(); the program installs the Qt implementation at start-up
// (platform/ui/qt_host.h), the progress window installs itself as progress target while it
// runs, and tests install RecordingHost / RecordingProgress so that no window ever opens.
// With nothing installed, a headless host writes messages to stderr and answers the default.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace ui {

// Message box style bits, as the program passes them.
enum MsgStyle : int {
  kOkOnly = 0,
  kOkCancel = 1,
  kYesNoCancel = 3,
  kYesNo = 4,
  kCritical = 16,
  kQuestion = 32,
  kExclamation = 48,
  kInformation = 64,
};

// Answers of a message box.
enum Answer : int { kOk = 1, kCancel = 2, kYes = 6, kNo = 7 };

// The buttons part of a style (the low nibble).
inline int buttonsOf(int style) { return style & 0x0F; }

class Host {
 public:
  virtual ~Host() = default;
  // Shows a modal message box; returns the answer. An empty title means the
  // application's own title.
  virtual int messageBox(const std::string& text, int style, const std::string& title) = 0;
  // Lets the window system process pending events (so that a Cancel button can be pressed).
  virtual void processEvents() = 0;
  // Switches the busy (wait) cursor on or off.
  virtual void setWaitCursor(bool busy) = 0;
  // The application's title, used where a message box has none of its own.
  virtual std::string applicationTitle() const { return "Kestrin"; }
};

// What a long-running calculation reports its progress to: the progress window.
class ProgressTarget {
 public:
  virtual ~ProgressTarget() = default;
  virtual bool userCanceled() const = 0;
  virtual void setValue(float value) = 0;                // 0..100
  virtual void setAction(const std::string& text) = 0;   // "Calculating...", "Generating..."
  virtual void setMessage(const std::string& text) = 0;  // the current step
};

// The installed host; never null (a headless default when nothing is installed).
Host& host();
// Installs a host (not owned); nullptr restores the headless default.
void setHost(Host* h);

// The installed progress target, or nullptr when no progress window is running.
ProgressTarget* progressTarget();
void setProgressTarget(ProgressTarget* t);

// Installs a host for the lifetime of the object and restores the previous one.
class ScopedHost {
 public:
  explicit ScopedHost(Host& h);
  ~ScopedHost();
  ScopedHost(const ScopedHost&) = delete;
  ScopedHost& operator=(const ScopedHost&) = delete;

 private:
  Host* previous_;
};

// Installs a progress target for the lifetime of the object and restores the previous one.
class ScopedProgressTarget {
 public:
  explicit ScopedProgressTarget(ProgressTarget& t);
  ~ScopedProgressTarget();
  ScopedProgressTarget(const ScopedProgressTarget&) = delete;
  ScopedProgressTarget& operator=(const ScopedProgressTarget&) = delete;

 private:
  ProgressTarget* previous_;
};

// Headless host: writes each message to stderr and answers OK (Yes for yes/no styles).
class HeadlessHost : public Host {
 public:
  int messageBox(const std::string& text, int style, const std::string& title) override;
  void processEvents() override {}
  void setWaitCursor(bool) override {}
};

// Test double: records every message box and cursor change; answers from a queue
// (OK / Yes by default when the queue is empty). Never opens a window.
class RecordingHost : public Host {
 public:
  struct Message {
    std::string text;
    int style = 0;
    std::string title;
  };
  std::vector<Message> messages;
  std::deque<int> answers;  // next answers to give
  int eventPumps = 0;
  bool waitCursor = false;
  std::vector<bool> cursorChanges;

  int messageBox(const std::string& text, int style, const std::string& title) override;
  void processEvents() override { ++eventPumps; }
  void setWaitCursor(bool busy) override {
    waitCursor = busy;
    cursorChanges.push_back(busy);
  }
};

// Test double of the progress window: records the bar values and captions, and can be
// told to report Cancel, at once or after a number of updates.
class RecordingProgress : public ProgressTarget {
 public:
  bool canceled = false;
  int cancelAfterUpdates = -1;  // >= 0: report Cancel once that many values were set
  std::vector<float> values;
  std::string action;
  std::string message;
  std::vector<std::string> messages;

  bool userCanceled() const override {
    return canceled || (cancelAfterUpdates >= 0 && static_cast<int>(values.size()) >= cancelAfterUpdates);
  }
  void setValue(float value) override { values.push_back(value); }
  void setAction(const std::string& text) override { action = text; }
  void setMessage(const std::string& text) override {
    message = text;
    messages.push_back(text);
  }
};

}  // namespace ui
