#include "app/program/frmMainWindow.h"

#include "app/calc/frmWaitDialog.h"
#include "app/reports/frmReport.h"
#include "app/reports/viewer/frmReportWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QSvgRenderer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/program/Module1.h"
#include "app/program/ProgramLogos.h"
#include "app/program/clsUnitControls.h"
#include "app/program/frmDialogs.h"
#include "controls/unitentry/csQuillet.h"
#include "libs/units/clsUnits.h"
#include "libs/vb/vbcompat.h"

namespace {

// The entry boxes' designed widths (twips): the unit label, and the text box (a little wider
// on the condenser side).
constexpr long kLabelWidth = 1000;
constexpr long kTextWidth = 1940;
constexpr long kTextWidthCondenser = 1955;

QLabel* CaptionLabel(const char* text, QWidget* buddy) {
  auto* label = new QLabel(QString::fromUtf8(text));
  label->setBuddy(buddy);
  return label;
}

}  // namespace

// The pictures live in this static library's resources, which must be registered once.
static void InitImages() { Q_INIT_RESOURCE(images); }

QPixmap LogoPixmap(const QString& resource, int height) {
  static const bool registered = (InitImages(), true);
  (void)registered;
  QSvgRenderer renderer(resource);
  const QSize def = renderer.defaultSize();
  const int width = def.height() > 0 ? def.width() * height / def.height() : height;
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  renderer.render(&painter);
  return pixmap;
}

long QtComboBox::ItemData(int index) const { return box_->itemData(index).toInt(); }

void QtComboBox::AddItem(const std::string& text, long itemData) {
  box_->addItem(QString::fromStdString(text), QVariant::fromValue(static_cast<int>(itemData)));
}

frmMainWindow::frmMainWindow(frmMain& form, QWidget* parent) : QMainWindow(parent), form_(form) {
  setObjectName(QStringLiteral("frmMain"));
  setAttribute(Qt::WA_QuitOnClose);
  BuildMenus();
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(BuildHeader());
  layout->addWidget(BuildInputs());
  layout->addWidget(BuildButtons());
  setCentralWidget(central);
  auto* bar = new QStatusBar(this);
  bar->setObjectName(QStringLiteral("sbStatusBar"));
  statusPanel_ = new QLabel(bar);
  bar->addWidget(statusPanel_, 1);
  setStatusBar(bar);
  form_.SetView(this);
  form_.Form_Load();
  // The coupling: the plant is at least the building's peak load, the minimum ECWT at most
  // the design ECWT. Connected once the load has bound every entry box to the converter and
  // set the limits from the project: binding a box re-displays it, which counts as input, and
  // a coupling run then would set a limit on a box not bound yet.
  using F = frmMain;
  connect(boxes_[F::uncBldgPeakLoad], &csQuillet::Change, this, [this] { form_.uncBldgPeakLoad_Change(); });
  connect(boxes_[F::uncDesignECWT], &csQuillet::Change, this, [this] { form_.uncDesignECWT_Change(); });
}

frmMainWindow::~frmMainWindow() { form_.SetView(nullptr); }

void frmMainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("mnuFile"));
  struct Item {
    QMenu* menu;
    const char* name;
    const char* text;
    Handler handler;
  };
  const Item items[] = {
      {file, "mnuFileNew", "&New", &frmMain::mnuFileNew_Click},
      {file, "mnuFileOpen", "&Open...", &frmMain::mnuFileOpen_Click},
      {file, "mnuFileSave", "&Save", &frmMain::mnuFileSave_Click},
      {file, "mnuFileSaveAs", "Save &As...", &frmMain::mnuFileSaveAs_Click},
  };
  for (const Item& item : items) {
    QAction* action = item.menu->addAction(QString::fromUtf8(item.text));
    action->setObjectName(QString::fromUtf8(item.name));
    connect(action, &QAction::triggered, this, [this, h = item.handler] { h(form_); });
  }
  file->addSeparator();
  QAction* exit = file->addAction(QStringLiteral("E&xit"));
  exit->setObjectName(QStringLiteral("mnuFileExit"));
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
  options->setObjectName(QStringLiteral("mnuEdit"));
  QAction* user = options->addAction(QStringLiteral("&User Info..."));
  user->setObjectName(QStringLiteral("mnuEditmnuUser"));
  connect(user, &QAction::triggered, this, [this] { form_.mnuEditmnuUser_Click(); });
  QAction* prefs = options->addAction(QStringLiteral("&Preferences..."));
  prefs->setObjectName(QStringLiteral("mnuEditmnuPreferences"));
  connect(prefs, &QAction::triggered, this, [this] { form_.mnuEditmnuPreferences_Click(); });
}

QWidget* frmMainWindow::BuildHeader() {
  auto* header = new QWidget(this);
  auto* row = new QHBoxLayout(header);
  auto* picLogo = new QLabel(header);
  picLogo->setObjectName(QStringLiteral("picLogo"));
  picLogo->setPixmap(LogoPixmap(QString::fromUtf8(kCompanyLogo), 40));
  auto* titles = new QVBoxLayout();
  lblProgramName_ = new QLabel(header);
  lblProgramName_->setObjectName(QStringLiteral("lblProgramName"));
  QFont big = lblProgramName_->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  lblProgramName_->setFont(big);
  lblProgramVer_ = new QLabel(header);
  lblProgramVer_->setObjectName(QStringLiteral("lblProgramVer"));
  titles->addWidget(lblProgramName_);
  titles->addWidget(lblProgramVer_);
  auto* picProgramLogo = new QLabel(header);
  picProgramLogo->setObjectName(QStringLiteral("picProgramLogo"));
  picProgramLogo->setPixmap(LogoPixmap(QString::fromUtf8(kProgramLogo), 48));
  row->addWidget(picLogo);
  row->addSpacing(12);
  row->addLayout(titles);
  row->addStretch(1);
  row->addWidget(picProgramLogo);
  return header;
}

QComboBox* frmMainWindow::NewCombo(frmMain::List list, const char* name, Handler handler) {
  auto* box = new QComboBox(this);
  box->setObjectName(QString::fromUtf8(name));
  combos_[list] = std::make_unique<QtComboBox>(box);
  // The user's choice only: selecting in code runs no handler.
  connect(box, &QComboBox::activated, this, [this, handler = std::move(handler)] { handler(form_); });
  return box;
}

csQuillet* frmMainWindow::NewUnitBox(frmMain::Box box, const char* name, long units, const char* formatIP,
                                     const char* formatSI, double min, double max, double value, long textWidth) {
  auto* unc = new csQuillet({{"Units", static_cast<int>(units)},
                             {"FormatString", QString::fromUtf8(formatIP)},
                             {"FormatStringMetric", QString::fromUtf8(formatSI)},
                             {"Min", min},
                             {"Max", max},
                             {"Value", value},
                             {"LabelWidth", static_cast<int>(kLabelWidth)},
                             {"TextWidth", static_cast<int>(textWidth)}},
                            this);
  unc->setObjectName(QString::fromUtf8(name));
  boxes_[box] = unc;
  return unc;
}

QWidget* frmMainWindow::NewChillerNum() {
  auto* holder = new QWidget(this);
  auto* row = new QHBoxLayout(holder);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  txtChillerNum_ = new QLineEdit(QStringLiteral("1"), holder);
  txtChillerNum_->setObjectName(QStringLiteral("txtChillerNum"));
  // As wide as the entry boxes' text boxes (the building's peak load box is one of them).
  txtChillerNum_->setFixedWidth(boxes_[frmMain::uncBldgPeakLoad]->TextBox()->width() - 18);
  // The up-down buttons step the count within its range and write it into the text box. They
  // take no keyboard focus: the count is one stop of the Tab key, its text box.
  auto* updown = new QWidget(holder);
  updown->setObjectName(QStringLiteral("udChillerNum"));
  auto* buttons = new QVBoxLayout(updown);
  buttons->setContentsMargins(0, 0, 0, 0);
  buttons->setSpacing(0);
  const int half = txtChillerNum_->sizeHint().height() / 2;
  for (int step : {+1, -1}) {
    auto* b = new QToolButton(updown);
    b->setArrowType(step > 0 ? Qt::UpArrow : Qt::DownArrow);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(18, half);
    buttons->addWidget(b);
    connect(b, &QToolButton::clicked, this, [this, step] {
      const std::string text = vb::Trim(txtChillerNum_->text().toStdString());
      int n = vb::IsNumeric(text) ? static_cast<int>(vb::CDbl(text)) : frmMain::kChillerNumMin;
      n = std::clamp(n + step, frmMain::kChillerNumMin, frmMain::kChillerNumMax);
      ChillerNumText(vb::CStr(n));
    });
  }
  row->addWidget(txtChillerNum_);
  row->addWidget(updown);
  row->addStretch(1);
  connect(txtChillerNum_, &QLineEdit::textChanged, this, [this] { form_.txtChillerNum_Change(); });
  connect(txtChillerNum_, &QLineEdit::editingFinished, this, [this] { form_.txtChillerNum_LostFocus(); });
  return holder;
}

// The controls are made in reading order (the left column, then the Chiller Plant column),
// which is the order the Tab key walks; no tab order is set by hand.
QWidget* frmMainWindow::BuildInputs() {
  using F = frmMain;
  auto* inputs = new QWidget(this);
  auto* columns = new QHBoxLayout(inputs);
  columns->setContentsMargins(0, 0, 0, 0);
  auto* left = new QVBoxLayout();
  auto* right = new QVBoxLayout();
  columns->addLayout(left);
  columns->addLayout(right);

  // Every group's captions take the width of the longest, so the fields line up in both columns.
  const int captionWidth = fontMetrics().horizontalAdvance(QStringLiteral("Evaporator Flow Rate:")) + 6;
  auto group = [this, captionWidth](const char* name, const char* title, QVBoxLayout* column) {
    auto* g = new QGroupBox(QString::fromUtf8(title), this);
    g->setObjectName(QString::fromUtf8(name));
    auto* grid = new QGridLayout(g);
    grid->setColumnMinimumWidth(0, captionWidth);
    grid->setColumnStretch(1, 1);
    column->addWidget(g);
    return grid;
  };
  auto add = [](QGridLayout* grid, const char* caption, QWidget* field) {
    const int row = grid->rowCount();
    grid->addWidget(CaptionLabel(caption, field), row, 0);
    grid->addWidget(field, row, 1, Qt::AlignLeft);
  };

  QGridLayout* location = group("fraLocation", "Location", left);
  add(location, "Region:", NewCombo(F::cboRegion, "cboRegion", &F::cboRegion_Click));
  add(location, "Location:", NewCombo(F::cboLocation, "cboLocation", &F::cboLocation_Click));
  add(location, "City:", NewCombo(F::cboCity, "cboCity", &F::cboCity_Click));

  QGridLayout* building = group("fraBuilding", "Building", left);
  add(building, "Building Type:", NewCombo(F::cboBuildingType, "cboBuildingType", &F::cboBuildingType_Click));
  add(building, "Economizer:", NewCombo(F::cboEconomizer, "cboEconomizer", &F::cboEconomizer_Click));
  add(building, "Building Peak Load:",
      NewUnitBox(F::uncBldgPeakLoad, "uncBldgPeakLoad", TONS_TO_KW, "0.0", "0.0", 3, 4000, 1200, kTextWidth));

  QGridLayout* tower = group("fraCoolingTower", "Cooling Tower", left);
  add(tower,
      "Design Wet Bulb:", NewUnitBox(F::uncDesignWB, "uncDesignWB", F_TO_C, "##0.0", "##0.0", 55, 90, 78, kTextWidth));
  add(tower, "Design Approach:",
      NewUnitBox(F::uncDesignApproach, "uncDesignApproach", F_TO_K, "#0.0", "#0.0", 6, 20, 7, kTextWidth));
  left->addStretch(1);

  QGridLayout* plant = group("fraChillerPlant", "Chiller Plant", right);
  add(plant, "Plant Control:", NewCombo(F::cboPlantControl, "cboPlantControl", &F::cboPlantControl_Click));
  add(plant,
      "Evap. Flow Control:", NewCombo(F::cboEvapFlowControl, "cboEvapFlowControl", &F::cboEvapFlowControl_Click));
  add(plant, "Number of Chillers:", NewChillerNum());
  add(plant, "Plant Capacity:",
      NewUnitBox(F::uncPlantCapacity, "uncPlantCapacity", TONS_TO_KW, "0.0", "0.0", 3, 4000, 1200, kTextWidth));
  add(plant,
      "Design LCHWT:", NewUnitBox(F::uncDesignLCHWT, "uncDesignLCHWT", F_TO_C, "0.0", "0.0", 35, 75, 44, kTextWidth));
  add(plant, "Design ECWT:",
      NewUnitBox(F::uncDesignECWT, "uncDesignECWT", F_TO_C, "0.0", "0.0", 40, 110, 85, kTextWidthCondenser));
  add(plant,
      "Minimum ECWT:", NewUnitBox(F::uncMinECWT, "uncMinECWT", F_TO_C, "0.0", "0.0", 40, 110, 55, kTextWidthCondenser));
  add(plant, "Condenser Flow Rate:",
      NewUnitBox(F::uncFlowRate, "uncFlowRate", GPMTON_TO_LSKW, "0.00", "0.000", 0.5, 8, 3, kTextWidthCondenser));
  add(plant, "Evaporator Flow Rate:",
      NewUnitBox(F::uncEvapFlowRate, "uncEvapFlowRate", GPMTON_TO_LSKW, "0.00", "0.000", 0.5, 8, 2.4,
                 kTextWidthCondenser));
  right->addStretch(1);

  // The lists are as wide as the entry boxes with their unit labels.
  for (auto& combo : combos_) combo->widget()->setFixedWidth(boxes_[F::uncBldgPeakLoad]->width());
  return inputs;
}

QWidget* frmMainWindow::BuildButtons() {
  auto* buttons = new QWidget(this);
  auto* row = new QHBoxLayout(buttons);
  row->setContentsMargins(0, 0, 0, 0);
  auto button = [&](const char* name, const char* text) {
    auto* b = new QPushButton(QString::fromUtf8(text), buttons);
    b->setObjectName(QString::fromUtf8(name));
    b->setMinimumWidth(110);
    row->addWidget(b);
    return b;
  };
  connect(button("cmdCustomer", "Customer Info"), &QPushButton::clicked, this, [this] { form_.cmdCustomer_Click(); });
  connect(button("cmdReport", "Reports"), &QPushButton::clicked, this, [this] { form_.cmdReport_Click(); });
  row->addStretch(1);
  connect(button("cmdHelp", "Help"), &QPushButton::clicked, this, [this] { form_.cmdHelp_Click(); });
  connect(button("cmdExit", "Exit"), &QPushButton::clicked, this, &QWidget::close);
  return buttons;
}

// ---- frmMain::View -------------------------------------------------------------------------

double frmMainWindow::Value(frmMain::Box box) const { return boxes_[box]->Value(); }
void frmMainWindow::Value(frmMain::Box box, double value) { boxes_[box]->Value(value); }
void frmMainWindow::Min(frmMain::Box box, double value) { boxes_[box]->Min(value); }
void frmMainWindow::Max(frmMain::Box box, double value) { boxes_[box]->Max(value); }

bool frmMainWindow::ValidateUnitControls() {
  for (csQuillet* box : boxes_) {
    if (!box->isVisibleTo(this) || box->Blanked()) continue;
    if (!box->Validate()) return false;
  }
  return true;
}

void frmMainWindow::LoadUnits() {
  if (!Module1::gUnitControls) Module1::gUnitControls = std::make_unique<clsUnitControls>();
  Module1::gUnitControls->LoadUnits(*this);
}

void frmMainWindow::RefreshUnits() {
  if (Module1::gUnitControls) Module1::gUnitControls->RefreshUnits();
}

std::string frmMainWindow::ChillerNumText() const { return txtChillerNum_->text().toStdString(); }
void frmMainWindow::ChillerNumText(const std::string& text) { txtChillerNum_->setText(QString::fromStdString(text)); }

void frmMainWindow::Caption(const std::string& text) { setWindowTitle(QString::fromStdString(text)); }

void frmMainWindow::ProgramLabels(const std::string& name, const std::string& version) {
  lblProgramName_->setText(QString::fromStdString(name));
  lblProgramVer_->setText(QString::fromStdString(version));
}

void frmMainWindow::StatusText(const std::string& text) { statusPanel_->setText(QString::fromStdString(text)); }

bool frmMainWindow::NormalState() const {
  return !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

void frmMainWindow::WindowRect(int& left, int& top, int& width, int& height) const {
  const QRect r = frameGeometry();
  left = r.x();
  top = r.y();
  width = r.width();
  height = r.height();
}

void frmMainWindow::ShowCustomerInfo() {
  frmCustomerInfo dialog(this);
  dialog.ParentForm(this);
  dialog.exec();
}

void frmMainWindow::ShowUserInfo() {
  frmUserInfo dialog(this);
  dialog.ParentForm(this);
  dialog.exec();
}

bool frmMainWindow::ShowPreferences() {
  frmPreferences dialog(this);
  dialog.ParentForm(this);
  dialog.exec();
  return dialog.DialogOK();
}

QString frmMainWindow::QtFilter(const std::string& filter) {
  const QString f = QString::fromStdString(filter);
  return f.section(QLatin1Char('|'), 0, 0);
}

std::string frmMainWindow::ShowOpenDialog(const std::string& title, const std::string& filter,
                                          const std::string& initDir) {
  return QFileDialog::getOpenFileName(this, QString::fromStdString(title), QString::fromStdString(initDir),
                                      QtFilter(filter))
      .toStdString();
}

std::string frmMainWindow::ShowSaveDialog(const std::string& title, const std::string& filter,
                                          const std::string& initDir) {
  return QFileDialog::getSaveFileName(this, QString::fromStdString(title), QString::fromStdString(initDir),
                                      QtFilter(filter))
      .toStdString();
}

void frmMainWindow::CloseOtherWindows() {
  const QWidgetList windows = QApplication::topLevelWidgets();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    if (*it != this && (*it)->isVisible()) (*it)->close();
  }
}

bool frmMainWindow::ShowReportOptions() {
  frmReportOptions dialog;  // no owner: a top-level window of its own
  dialog.ParentForm(this);
  dialog.exec();
  return dialog.DialogOK();
}

void frmMainWindow::ShowWait(frmWait& wait) {
  frmWaitDialog dialog(wait, this);
  dialog.exec();
}

frmMain::ReportRun frmMainWindow::ShowReportViewer(int16_t reportType) {
  frmReport form;
  frmReportWindow window(form, this);
  form.ReportType(reportType);
  if (onReportViewer) onReportViewer(window, form);
  window.exec();
  return {form.WeightingFactorsComputed(), form.WeightingFactorsMissing()};
}

void frmMainWindow::closeEvent(QCloseEvent* event) {
  if (unloaded_) {
    event->accept();
    return;
  }
  if (!form_.Form_QueryUnload()) {
    event->ignore();
    return;
  }
  unloaded_ = true;
  form_.Form_Unload();
  event->accept();
}
