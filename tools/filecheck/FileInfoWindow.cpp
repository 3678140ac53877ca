#include "tools/filecheck/FileInfoWindow.h"

#include <QApplication>
#include <QFileDialog>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "kestrin_version.h"
#include "platform/ui/ui.h"
#include "tools/filecheck/print_grid.h"

using namespace checker;

namespace {

// Starting widths of the columns in pixels; a header wider than its column widens it, the
// data never does (the user can drag a column wider).
constexpr int kDefaultWidths[kColumnCount] = {56, 150, 150, 380, 100, 100, 100, 100, 200};

}  // namespace

void CenterForm(QWidget& form) {
  const QScreen* screen = form.screen() != nullptr ? form.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  form.move(area.x() + (area.width() - form.width()) / 2, area.y() + (area.height() - form.height()) / 2);
}

FileInfoWindow::FileInfoWindow(FileInfo& logic, std::string listFile, QWidget* parent)
    : QWidget(parent), logic_(logic), listFile_(std::move(listFile)) {
  setWindowTitle("File Integrity Verification");
  cmdPrint = new QPushButton("Print", this);
  cmdMakeFile = new QPushButton("Save to File", this);
  Grid1 = new QTableWidget(this);
  Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Grid1->verticalHeader()->setVisible(false);
  Grid1->setWordWrap(false);
  connect(cmdMakeFile, &QPushButton::clicked, this, [this] { logic_.cmdMakeFile_Click(); });
  connect(cmdPrint, &QPushButton::clicked, this, [this] { cmdPrint_Click(); });
  resize(1280, 440);
  CenterForm(*this);
  logic_.SetView(this);
}

void FileInfoWindow::SetCaption(const std::string& text) { setWindowTitle(QString::fromStdString(text)); }

void FileInfoWindow::SetButtonsEnabled(bool enabled) {
  cmdPrint->setEnabled(enabled);
  cmdMakeFile->setEnabled(enabled);
}

void FileInfoWindow::GridReset() {
  const Grid& grid = logic_.Grid1();
  Grid1->clear();
  Grid1->setColumnCount(kColumnCount);
  Grid1->setRowCount(grid.empty() ? 0 : static_cast<int>(grid.size()) - 1);
  const QFontMetrics metrics(Grid1->horizontalHeader()->font());
  for (int c = 0; c < kColumnCount; ++c) {
    const QString header = grid.empty() ? QString() : QString::fromStdString(grid[0][c]);
    auto* item = new QTableWidgetItem(header);
    item->setTextAlignment((kRightAligned[c] ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    Grid1->setHorizontalHeaderItem(c, item);
    const int fit = static_cast<int>(metrics.horizontalAdvance(header) * 1.1) + 12;
    Grid1->setColumnWidth(c, std::max(kDefaultWidths[c], fit));
  }
  for (int r = 1; r < static_cast<int>(grid.size()); ++r) FillRow(r);
  FitWidthToColumns();
}

// The window is made wide enough for every column (within the screen), so that the last one
// is not cut off.
void FileInfoWindow::FitWidthToColumns() {
  int needed = 2 * Grid1->frameWidth() + Grid1->verticalScrollBar()->sizeHint().width();
  for (int c = 0; c < Grid1->columnCount(); ++c) needed += Grid1->columnWidth(c);
  const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  if (screen != nullptr) needed = std::min(needed, screen->availableGeometry().width());
  if (needed > width()) resize(needed, height());
}

void FileInfoWindow::FillRow(int row) {
  const GridRow& cells = logic_.Grid1().at(static_cast<size_t>(row));
  const QColor fixedBackground = palette().color(QPalette::Button);
  for (int c = 0; c < kColumnCount; ++c) {
    auto* item = new QTableWidgetItem(QString::fromStdString(cells[c]));
    item->setTextAlignment((kRightAligned[c] ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    item->setToolTip(item->text());
    if (c < kFixedColumns) item->setBackground(fixedBackground);
    Grid1->setItem(row - 1, c, item);
  }
}

void FileInfoWindow::RowUpdated(int row) {
  FillRow(row);
  Grid1->scrollToItem(Grid1->item(row - 1, 0));
}

void FileInfoWindow::cmdPrint_Click() {
  cmdPrint->setEnabled(false);
  QPrinter printer(QPrinter::HighResolution);
  bool go = true;
  // Without a printer the printout goes to a PDF file the user names.
  if (QPrinterInfo::availablePrinterNames().isEmpty()) {
    const QString file = QFileDialog::getSaveFileName(this, "Print to PDF", QString(), "PDF files (*.pdf)");
    go = !file.isEmpty();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
  }
  std::string error;
  if (go && !report::PrintGrid(printer, logic_.Grid1(), logic_.Now(), logic_.OsDisplayName(), logic_.ListFile(), error))
    ui::host().messageBox("Unable to print: " + error, ui::kExclamation, "");
  cmdPrint->setEnabled(true);
}

void FileInfoWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (activationQueued_) return;
  activationQueued_ = true;
  QTimer::singleShot(0, this, [this] {
    logic_.Form_Activate(listFile_);
    // The check followed each row down the list; the finished grid opens at its top left.
    Grid1->scrollToTop();
    Grid1->horizontalScrollBar()->setValue(0);
  });
}

void FileInfoWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  cmdPrint->adjustSize();
  cmdMakeFile->adjustSize();
  cmdPrint->move(0, 0);
  cmdMakeFile->move(cmdPrint->width() + 4, 0);
  const int top = cmdPrint->height();
  Grid1->setGeometry(0, top, width(), height() - top);
}

SplashWindow::SplashWindow(QWidget* next, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), next_(next) {
  auto* layout = new QVBoxLayout(this);
  auto* Frame1 = new QFrame(this);
  Frame1->setFrameShape(QFrame::Box);
  auto* inner = new QVBoxLayout(Frame1);
  auto* title = new QLabel("File Integrity Verification", Frame1);
  QFont big = title->font();
  big.setPointSize(big.pointSize() + 6);
  big.setBold(true);
  title->setFont(big);
  auto* Label1 = new QLabel(
      QString("Checks the installed files of Kestrin %1 against their CRC list.").arg(kestrin::kVersionText), Frame1);
  inner->addWidget(title);
  inner->addWidget(Label1);
  layout->addWidget(Frame1);
  adjustSize();
  CenterForm(*this);
  Timer1.setSingleShot(true);
  Timer1.setInterval(3000);
  connect(&Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
  Timer1.start();
}

void SplashWindow::Timer1_Timer() {
  if (next_ != nullptr) next_->show();
  close();
}
