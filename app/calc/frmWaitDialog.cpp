#include "app/calc/frmWaitDialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

frmWaitDialog::frmWaitDialog(frmWait& form, QWidget* parent) : QDialog(parent), form_(form) {
  setModal(true);
  setWindowTitle(QStringLiteral("Kestrin"));
  auto* layout = new QVBoxLayout(this);
  lblAction_ = new QLabel(this);
  lblMsg_ = new QLabel(this);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, 100);
  bar_->setValue(0);
  cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  layout->addWidget(lblAction_);
  layout->addWidget(bar_);
  layout->addWidget(lblMsg_);
  layout->addWidget(cmdCancel_, 0, Qt::AlignHCenter);
  setMinimumWidth(360);
  connect(cmdCancel_, &QPushButton::clicked, this, [this] { form_.cmdCancel_Click(); });
  form_.SetView(this);
}

frmWaitDialog::~frmWaitDialog() {
  form_.SetView(nullptr);
  form_.Form_Unload();
}

void frmWaitDialog::InitProgressBar(double dMin, double dMax, double dValue) {
  bar_->setMinimum(static_cast<int>(std::lround(dMin)));
  bar_->setMaximum(static_cast<int>(std::lround(dMax)));
  bar_->setValue(static_cast<int>(std::lround(dValue)));
}

void frmWaitDialog::SetCaption(const std::string& text) { setWindowTitle(QString::fromStdString(text)); }
void frmWaitDialog::SetAction(const std::string& text) { lblAction_->setText(QString::fromStdString(text)); }
void frmWaitDialog::SetMessage(const std::string& text) { lblMsg_->setText(QString::fromStdString(text)); }
void frmWaitDialog::SetCancelEnabled(bool enabled) { cmdCancel_->setEnabled(enabled); }

void frmWaitDialog::HideWindow() {
  hide();
  // While the work runs, the modal show ends when it has unwound (Activate); afterwards now.
  if (!working_) {
    finished_ = true;
    done(QDialog::Accepted);
  }
}

bool frmWaitDialog::userCanceled() const { return form_.UserCanceled(); }

void frmWaitDialog::setValue(float value) { bar_->setValue(static_cast<int>(std::lround(value))); }

void frmWaitDialog::reject() {
  if (working_)
    form_.cmdCancel_Click();
  else if (finished_ || started_)
    QDialog::reject();
}

void frmWaitDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (started_) return;
  started_ = true;
  // Start once the window is on screen; the event loop of exec() runs the timer.
  QTimer::singleShot(0, this, [this] { Activate(); });
}

void frmWaitDialog::Activate() {
  {
    ui::ScopedProgressTarget progress(*this);
    working_ = true;
    form_.Form_Activate();
    working_ = false;
  }
  finished_ = true;
  done(QDialog::Accepted);
}
