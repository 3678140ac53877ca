// The Qt Widgets implementation of the user-interface services, installed by the program
// at start-up (ui::setHost). Message boxes are QMessageBox dialogs configured from the
// style value the program passes: icon 16 critical, 32 question, 48 warning (exclamation),
// 64 information; buttons 0 OK, 1 OK/Cancel, 3 Yes/No/Cancel, 4 Yes/No.
#pragma once

#include <QMessageBox>
#include <memory>
#include <string>

#include "platform/ui/ui.h"

class QWidget;

namespace ui {

// The configured message box of a style, not yet shown.
std::unique_ptr<QMessageBox> BuildMessageBox(const std::string& text, int style, const std::string& title,
                                             QWidget* parent = nullptr);

// The program's answer for the button the user pressed (Cancel for none).
int AnswerOf(QMessageBox::StandardButton button);

class QtHost : public Host {
 public:
  int messageBox(const std::string& text, int style, const std::string& title) override;
  void processEvents() override;
  void setWaitCursor(bool busy) override;
  // The application's display name when it has one, else the default title.
  std::string applicationTitle() const override;

 private:
  bool waitCursor_ = false;
};

}  // namespace ui
