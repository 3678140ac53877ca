// The report viewer window.
#include "app/reports/viewer/frmReportWindow.h"

#include <QAction>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/calc/frmWait.h"
#include "app/calc/frmWaitDialog.h"
#include "app/storage/modpublic.h"
#include "platform/richtext/viewer.h"

namespace {
constexpr int kZoomStep = 10;
}

frmReportWindow::frmReportWindow(frmReport& form, QWidget* parent) : QDialog(parent), form_(form) {
  setObjectName(QStringLiteral("frmReport"));
  QFont f(QStringLiteral("Arial"), 9);
  setFont(f);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto* menus = new QMenuBar(this);
  QMenu* file = menus->addMenu(QStringLiteral("&File"));
  QAction* saveAs = file->addAction(QStringLiteral("Save Report &As..."));
  connect(saveAs, &QAction::triggered, this, [this] { form_.mnuFile_SaveAs_Click(); });
  file->addSeparator();
  connect(file->addAction(QStringLiteral("Page Setup...")), &QAction::triggered, this,
          [this] { form_.mnuFile_PageSetup_Click(); });
  connect(file->addAction(QStringLiteral("Print Setup...")), &QAction::triggered, this,
          [this] { form_.mnuFile_PrintSetup_Click(); });
  QAction* preview = file->addAction(QStringLiteral("Print Preview"));
  connect(preview, &QAction::triggered, this, [this] { form_.mnuFile_PrintPreview_Click(); });
  QAction* print = file->addAction(QStringLiteral("&Print"));
  connect(print, &QAction::triggered, this, [this] { form_.mnuFile_Print_Click(); });
  reportActions_ = {saveAs, preview, print};
  file->addSeparator();
  connect(file->addAction(QStringLiteral("E&xit")), &QAction::triggered, this, [this] { form_.cmdExit_Click(); });
  QMenu* edit = menus->addMenu(QStringLiteral("&Edit"));
  connect(edit->addAction(QStringLiteral("&Report Options")), &QAction::triggered, this,
          [this] { form_.mnuEdit_ReportOptions_Click(); });
  QMenu* view = menus->addMenu(QStringLiteral("&View"));
  view->addAction(QStringLiteral("Report1"));
  view->addAction(QStringLiteral("Report2"));
  layout->setMenuBar(menus);

  // Toolbar: print, save as RTF, save as PDF, the sub-report buttons, and the zoom at the right.
  auto* bar = new QWidget(this);
  bar->setObjectName(QStringLiteral("Toolbar1"));
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(6, 4, 6, 4);
  auto tool = [&](const char* name, const char* text, QStyle::StandardPixmap icon) {
    auto* b = new QToolButton(bar);
    b->setObjectName(QString::fromUtf8(name));
    b->setText(QString::fromUtf8(text));
    b->setToolTip(QString::fromUtf8(text));
    b->setIcon(style()->standardIcon(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    row->addWidget(b);
    return b;
  };
  QToolButton* printButton = tool("cmdPrint", "Print", QStyle::SP_FileDialogDetailedView);
  connect(printButton, &QToolButton::clicked, this, [this] { form_.Toolbar1_ButtonClick("cmdPrint"); });
  QToolButton* saveRtf = tool("cmdSaveAsRTF", "Save as RTF", QStyle::SP_DialogSaveButton);
  connect(saveRtf, &QToolButton::clicked, this, [this] { form_.cmdSaveAsRTF_Click(); });
  QToolButton* savePdf = tool("cmdSaveAsPDF", "Save as PDF", QStyle::SP_DialogSaveButton);
  connect(savePdf, &QToolButton::clicked, this, [this] { form_.cmdSaveAsPDF_Click(); });
  reportButtons_ = {printButton, saveRtf, savePdf};
  row->addSpacing(12);
  auto push = [&](const char* name, const char* text, auto handler) {
    auto* b = new QPushButton(QString::fromUtf8(text), bar);
    b->setObjectName(QString::fromUtf8(name));
    // No button presses itself on Enter: Enter belongs to the zoom box and the page view.
    b->setAutoDefault(false);
    row->addWidget(b);
    connect(b, &QPushButton::clicked, this, handler);
    return b;
  };
  cmdPrev_ = push("cmdRpt0", "&Prev Report", [this] { form_.cmdRpt_Click(0); });
  cmdNext_ = push("cmdRpt1", "&Next Report", [this] { form_.cmdRpt_Click(1); });
  row->addSpacing(12);
  cmdHelp_ = push("cmdHelp", "&Help", [this] { form_.cmdHelp_Click(); });
  cmdExit_ = push("cmdExit", "E&xit", [this] { form_.cmdExit_Click(); });
  row->addStretch(1);
  auto* label = new QLabel(QStringLiteral("Zoom (%)"), bar);
  label->setObjectName(QStringLiteral("Text1"));
  txtZoom_ = new QLineEdit(QStringLiteral("100%"), bar);
  txtZoom_->setObjectName(QStringLiteral("txtZoom"));
  txtZoom_->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
  txtZoom_->installEventFilter(this);
  auto* down = new QToolButton(bar);
  down->setArrowType(Qt::DownArrow);
  auto* up = new QToolButton(bar);
  up->setObjectName(QStringLiteral("UpDown1"));
  up->setArrowType(Qt::UpArrow);
  row->addWidget(label);
  row->addWidget(txtZoom_);
  row->addWidget(down);
  row->addWidget(up);
  auto step = [this](int delta) {
    const int zoom = frmReport::ParseZoom(txtZoom_->text().toStdString()) + delta;
    txtZoom_->setText(QString::number(zoom));
    form_.UpDown1_Change();
  };
  connect(up, &QToolButton::clicked, this, [step] { step(kZoomStep); });
  connect(down, &QToolButton::clicked, this, [step] { step(-kZoomStep); });
  layout->addWidget(bar);

  // The page view inside its two frames (100-twip insets).
  auto* frame = new QWidget(this);
  frame->setObjectName(QStringLiteral("Frame1"));
  auto* inner = new QVBoxLayout(frame);
  inner->setContentsMargins(7, 7, 7, 7);
  toc_ = new richtext::TocViewer(frame);
  toc_->setObjectName(QStringLiteral("Toc1"));
  inner->addWidget(toc_);
  layout->addWidget(frame, 1);

  resize(900, 760);
  form_.SetView(this);
  form_.Form_Load();
}

frmReportWindow::~frmReportWindow() { form_.SetView(nullptr); }

void frmReportWindow::Caption(const std::string& text) { setWindowTitle(QString::fromStdString(text)); }

void frmReportWindow::NavButton(int index, const std::string& caption, bool enabled) {
  QPushButton* b = navButton(index);
  b->setText(QString::fromStdString(caption));
  b->setEnabled(enabled);
}

void frmReportWindow::FocusNavButton(int index) { navButton(index)->setFocus(); }
void frmReportWindow::ExitEnabled(bool enabled) { cmdExit_->setEnabled(enabled); }

void frmReportWindow::ReportCommandsEnabled(bool enabled) {
  for (QWidget* b : reportButtons_) b->setEnabled(enabled);
  for (QAction* a : reportActions_) a->setEnabled(enabled);
}
std::string frmReportWindow::ZoomText() const { return txtZoom_->text().toStdString(); }
void frmReportWindow::ZoomText(const std::string& text) { txtZoom_->setText(QString::fromStdString(text)); }
richtext::TerHwnd frmReportWindow::Toc1() const { return toc_->hWnd(); }
void frmReportWindow::TocCommand(int command) { toc_->setCommand(command); }
void frmReportWindow::FocusToc() { toc_->setFocus(); }

void frmReportWindow::ShowWait(frmWait& wait) {
  frmWaitDialog dialog(wait, this);
  dialog.exec();
}

std::unique_ptr<QFileDialog> frmReportWindow::SaveDialog(const std::string& title,
                                                         const std::vector<std::string>& filters, int filterIndex,
                                                         const std::string& fileName) {
  QStringList list;
  for (const auto& f : filters) list << QString::fromStdString(f);
  auto dialog = std::make_unique<QFileDialog>(this, QString::fromStdString(title), QString::fromStdString(fileName),
                                              list.join(QStringLiteral(";;")));
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  // The dialog would ask about the name typed; the viewer asks about the file it writes.
  dialog->setOption(QFileDialog::DontConfirmOverwrite);
  dialog->selectNameFilter(list.value(filterIndex - 1));
  return dialog;
}

std::string frmReportWindow::ShowSaveDialog(const std::string& title, const std::vector<std::string>& filters,
                                            int& filterIndex, const std::string& fileName) {
  if (chooseSaveFile) return chooseSaveFile(fileName, filterIndex);
  const std::unique_ptr<QFileDialog> dialog = SaveDialog(title, filters, filterIndex, fileName);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
  filterIndex = static_cast<int>(dialog->nameFilters().indexOf(dialog->selectedNameFilter())) + 1;
  return dialog->selectedFiles().first().toStdString();
}

void frmReportWindow::HideWindow() { QDialog::done(QDialog::Accepted); }

void frmReportWindow::ShowHelp(long contextId) { modpublic::ShowHelpTopic(winId(), contextId); }

void frmReportWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (started_) return;
  started_ = true;
  QTimer::singleShot(0, this, [this] {
    form_.SetZoom();
    form_.Form_Activate();
    activated_ = true;
  });
}

void frmReportWindow::keyPressEvent(QKeyEvent* event) {
  if (form_.Form_KeyDown(event->key(), (event->modifiers() & Qt::ControlModifier) != 0)) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool frmReportWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtZoom_) {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        form_.SetZoom();
        txtZoom_->selectAll();
        return true;
      }
    }
    if (event->type() == QEvent::FocusIn)
      QTimer::singleShot(0, txtZoom_, [this] { txtZoom_->selectAll(); });
    else if (event->type() == QEvent::FocusOut)
      form_.txtZoom_LostFocus();
  }
  return QDialog::eventFilter(watched, event);
}

void frmReportWindow::reject() {
  // Closing while the first activation runs would leave the progress window without owner.
  if (started_ && !activated_) return;
  form_.cmdExit_Click();
}
