#include "platform/ui/qt_host.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QString>

namespace ui {
namespace {

QMessageBox::Icon IconOf(int style) {
  switch (style & 0x70) {
    case kCritical:
      return QMessageBox::Critical;
    case kQuestion:
      return QMessageBox::Question;
    case kExclamation:
      return QMessageBox::Warning;
    case kInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

QMessageBox::StandardButtons ButtonsOf(int style) {
  switch (buttonsOf(style)) {
    case kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case kYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    default:
      return QMessageBox::Ok;
  }
}

// The first button of the set is the default, as the program's boxes always had it.
QMessageBox::StandardButton FirstButtonOf(int style) {
  switch (buttonsOf(style)) {
    case kYesNoCancel:
    case kYesNo:
      return QMessageBox::Yes;
    default:
      return QMessageBox::Ok;
  }
}

}  // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const std::string& text, int style, const std::string& title,
                                             QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setIcon(IconOf(style));
  box->setText(QString::fromStdString(text));
  box->setWindowTitle(QString::fromStdString(title));
  box->setStandardButtons(ButtonsOf(style));
  box->setDefaultButton(FirstButtonOf(style));
  return box;
}

int AnswerOf(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Ok:
      return kOk;
    case QMessageBox::Yes:
      return kYes;
    case QMessageBox::No:
      return kNo;
    default:
      return kCancel;
  }
}

int QtHost::messageBox(const std::string& text, int style, const std::string& title) {
  auto box = BuildMessageBox(text, style, title.empty() ? applicationTitle() : title, QApplication::activeWindow());
  box->exec();
  return AnswerOf(box->standardButton(box->clickedButton()));
}

void QtHost::processEvents() { QCoreApplication::processEvents(); }

void QtHost::setWaitCursor(bool busy) {
  if (busy == waitCursor_) return;
  if (busy)
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  else
    QGuiApplication::restoreOverrideCursor();
  waitCursor_ = busy;
}

std::string QtHost::applicationTitle() const {
  const QString name = QGuiApplication::applicationDisplayName();
  return name.isEmpty() ? Host::applicationTitle() : name.toStdString();
}

}  // namespace ui
