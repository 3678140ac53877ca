#include "app/program/frmSplash.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/program/ProgramLogos.h"
#include "app/program/clsProgram.h"

namespace {

QFrame* Rule(QWidget* parent, const char* name) {
  auto* line = new QFrame(parent);
  line->setObjectName(QString::fromUtf8(name));
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);  // an etched rule: highlight and shadow
  return line;
}

QLabel* Text(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromUtf8(name));
  label->setWordWrap(true);
  return label;
}

}  // namespace

frmSplash::frmSplash(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmSplash"));
  setModal(true);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  auto* picMainPanel = new QFrame(this);
  picMainPanel->setObjectName(QStringLiteral("picMainPanel"));
  picMainPanel->setFrameShape(QFrame::Box);
  picMainPanel->setAutoFillBackground(true);
  QPalette white = picMainPanel->palette();
  white.setColor(QPalette::Window, Qt::white);
  white.setColor(QPalette::WindowText, Qt::black);
  picMainPanel->setPalette(white);
  outer->addWidget(picMainPanel);
  auto* column = new QVBoxLayout(picMainPanel);

  // The title in white on a band of the program's blue, the logos at its ends.
  auto* band = new QFrame(picMainPanel);
  band->setAutoFillBackground(true);
  QPalette blue = band->palette();
  blue.setColor(QPalette::Window, QColor(21, 44, 115));
  band->setPalette(blue);
  auto* bandRow = new QHBoxLayout(band);
  auto* picLogo = new QLabel(band);
  picLogo->setObjectName(QStringLiteral("picLogo"));
  picLogo->setAutoFillBackground(true);
  picLogo->setPalette(white);
  picLogo->setPixmap(LogoPixmap(QString::fromUtf8(kCompanyLogo), 40));
  auto* titles = new QVBoxLayout();
  lblProgramName = Text(band, "lblProgramName");
  QPalette whiteText = lblProgramName->palette();
  whiteText.setColor(QPalette::WindowText, Qt::white);
  lblProgramName->setPalette(whiteText);
  QFont title = lblProgramName->font();
  title.setPointSizeF(title.pointSizeF() * 2);
  title.setBold(true);
  lblProgramName->setFont(title);
  lblProgramVer = Text(band, "lblProgramVer");
  lblProgramVer->setPalette(whiteText);
  titles->addWidget(lblProgramName);
  titles->addWidget(lblProgramVer);
  auto* picProgramLogo = new QLabel(band);
  picProgramLogo->setObjectName(QStringLiteral("picProgramLogo"));
  picProgramLogo->setPixmap(LogoPixmap(QString::fromUtf8(kProgramLogo), 56));
  bandRow->addWidget(picLogo);
  bandRow->addSpacing(16);
  bandRow->addLayout(titles, 1);
  bandRow->addWidget(picProgramLogo);
  column->addWidget(band);

  lblDisclaimer = Text(picMainPanel, "lblDisclaimer");
  lblCopyright = Text(picMainPanel, "lblCopyright");
  lblWarning = Text(picMainPanel, "lblWarning");
  column->addWidget(Rule(picMainPanel, "Line1"));
  column->addWidget(lblDisclaimer);
  column->addWidget(Rule(picMainPanel, "Line2"));
  column->addWidget(lblCopyright);
  column->addWidget(lblWarning);
  cmdOK = new QPushButton(QStringLiteral("OK"), picMainPanel);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  cmdOK->setMinimumWidth(100);
  column->addWidget(cmdOK, 0, Qt::AlignRight);
  connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
  setFixedWidth(560);

  m_Disclaimer = clsProgram::DisclaimerText();
  m_Copyright = clsProgram::CopyrightText();
  m_Warning = clsProgram::WarningText();
  Form_Activate();
}

void frmSplash::Form_Activate() {
  lblProgramName->setText(QString::fromStdString(clsProgram::ProgramTitle()));
  lblProgramVer->setText(QString::fromStdString("Version " + clsProgram::VersionText()));
  lblDisclaimer->setText(QString::fromStdString(m_Disclaimer));
  lblCopyright->setText(QString::fromStdString(m_Copyright));
  lblWarning->setText(QString::fromStdString(m_Warning));
}

void frmSplash::cmdOK_Click() {
  closing_ = true;
  accept();
}

void frmSplash::reject() {}

bool frmSplash::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) Form_Activate();
  return QDialog::event(event);
}

void frmSplash::closeEvent(QCloseEvent* event) {
  if (!closing_) event->ignore();
}
