// The progress window itself: a modal QDialog with a progress bar, the action and message
// lines and Cancel, around the controllers of frmWait.
//
// exec() shows the window; once it is on screen a zero-delay timer starts the first
// activation (the calculation, and the reports unless CalculationOnly). While that runs the
// dialog is the progress target of modpublic::UpdateProgress. exec() returns only after
// the work has unwound, also after Cancel, which only sets the flags and hides the window.
#pragma once

#include <QDialog>
#include <string>

#include "app/calc/frmWait.h"
#include "platform/ui/ui.h"

class QLabel;
class QProgressBar;
class QPushButton;

class frmWaitDialog : public QDialog, public frmWait::View, public ui::ProgressTarget {
  Q_OBJECT

 public:
  explicit frmWaitDialog(frmWait& form, QWidget* parent = nullptr);
  ~frmWaitDialog() override;

  // frmWait::View
  void InitProgressBar(double dMin, double dMax, double dValue) override;
  void SetCaption(const std::string& text) override;
  void SetAction(const std::string& text) override;
  void SetMessage(const std::string& text) override;
  void SetCancelEnabled(bool enabled) override;
  void HideWindow() override;

  // ui::ProgressTarget
  bool userCanceled() const override;
  void setValue(float value) override;
  void setAction(const std::string& text) override { SetAction(text); }
  void setMessage(const std::string& text) override { SetMessage(text); }

  // The controls, for the window's own tests.
  QProgressBar* progressBar() const { return bar_; }
  QLabel* actionLabel() const { return lblAction_; }
  QLabel* messageLabel() const { return lblMsg_; }
  QPushButton* cancelButton() const { return cmdCancel_; }
  bool working() const { return working_; }

 public slots:
  void reject() override;  // Escape and the close box act as Cancel; the window never closes early

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Activate();

  frmWait& form_;
  QProgressBar* bar_ = nullptr;
  QLabel* lblAction_ = nullptr;
  QLabel* lblMsg_ = nullptr;
  QPushButton* cmdCancel_ = nullptr;
  bool started_ = false;
  bool working_ = false;
  bool finished_ = false;
};
