// The splash window: a captionless modal window with the program's title and version, the
// disclaimer, the legal notice, the protection notice and the two logos. It closes only
// through OK (Escape and the window manager's close do nothing). Its labels are set again on
// every activation.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

class frmSplash : public QDialog {
  Q_OBJECT

 public:
  explicit frmSplash(QWidget* parent = nullptr);
  // Sets the labels from the members.
  void Form_Activate();
  void cmdOK_Click();

  // Write-only members: the disclaimer and the legal notice show at the next activation.
  void ProgramName(const std::string& text) { m_ProgramName = text; }
  void ProgramVersion(const std::string& text) { m_ProgramVersion = text; }
  void Disclaimer(const std::string& text) { m_Disclaimer = text; }
  void Copyright(const std::string& text) { m_Copyright = text; }
  void DeveloperVersion(const std::string&) {}
  void MainForm(QWidget* form) { m_MainForm = form; }

 public slots:
  void reject() override;

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel *lblProgramName, *lblProgramVer, *lblDisclaimer, *lblCopyright, *lblWarning;
  QPushButton* cmdOK;
  std::string m_ProgramName, m_ProgramVersion, m_Disclaimer, m_Copyright, m_Warning;
  QWidget* m_MainForm = nullptr;
  bool closing_ = false;
};
