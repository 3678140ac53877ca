#include "controls/unitentry/csQuillet.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <string>

#include "controls/unitentry/modArithmetic.h"
#include "libs/units/clsUnits.h"
#include "libs/vb/vbcompat.h"
#include "libs/vb/vberror.h"
#include "platform/ui/ui.h"

namespace {

constexpr const char* kDefaultTexts[6] = {"Max = ",
                                          "Min = ",
                                          "No Limits",
                                          "Value too high: Max = ",
                                          "Value too low: Min = ",
                                          "Invalid input (Numeric value required)"};

const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

// The least text box width, and the label's drop below the top of the text box, in twips.
constexpr long kMinTextWidth = 60;
constexpr long kLabelDrop = 30;

std::string Utf8(const QString& s) { return s.toStdString(); }

// The box shows and reads numbers in the desktop locale (QLocale()): its decimal separator and
// its group separator. Everything behind the box (vb::Format, vb::CDbl, modArithmetic) works on the
// program's own number texts, "." decimal and "," grouping, so files, scratch records and
// reports never depend on the locale. These two translate between the two.
QString Shown(const std::string& programText) {
  const QLocale locale;
  const QString point = locale.decimalPoint();
  const QString group = locale.groupSeparator();
  QString out;
  for (const QChar c : QString::fromStdString(programText)) {
    if (c == u'.')
      out += point;
    else if (c == u',')
      out += group;
    else
      out += c;
  }
  return out;
}

// True when the group separator that starts at `at` stands where the locale writes one: in the
// whole-number digits of a number, after one to three digits (or a group before it) and before
// exactly three digits that end the whole number or lead to the next group.
bool GroupSeparatorInPlace(const QString& text, qsizetype at, const QString& group) {
  auto digit = [&text](qsizetype i) { return i >= 0 && i < text.size() && text[i].isDigit(); };
  // The three digits after it, and no fourth.
  const qsizetype after = at + group.size();
  if (!digit(after) || !digit(after + 1) || !digit(after + 2) || digit(after + 3)) return false;
  // Back over the digits and the groups before it: each group three digits, the first one to three.
  qsizetype i = at - 1;
  for (;;) {
    int digits = 0;
    while (digit(i)) {
      --i;
      ++digits;
    }
    if (digits == 0 || digits > 3) return false;
    if (i + 1 >= group.size() && text.mid(i + 1 - group.size(), group.size()) == group) {
      if (digits != 3) return false;
      i -= group.size();
      continue;
    }
    break;
  }
  // Not in a fraction or an exponent (after a decimal separator, either of "." and ",", or an "e").
  if (i < 0) return true;
  const QChar before = text[i];
  return before != u'.' && before != u',' && before != u'e' && before != u'E';
}

std::string ProgramText(const QString& shown) {
  const QLocale locale;
  const QString point = locale.decimalPoint();
  QString group = locale.groupSeparator();
  if (group == point) group.clear();
  QString out;
  for (qsizetype i = 0; i < shown.size();) {
    if (shown.mid(i, point.size()) == point) {
      out += u'.';
      i += point.size();
    } else if (!group.isEmpty() && shown.mid(i, group.size()) == group) {
      // Grouping carries no value where the locale writes it; anywhere else the text is no number.
      if (!GroupSeparatorInPlace(shown, i, group)) out += u'#';
      i += group.size();
    } else if (shown[i] == u'.' || shown[i] == u',') {
      // The other one of "." and "," means nothing in this locale: the text is no number.
      out += u'#';
      ++i;
    } else {
      out += shown[i++];
    }
  }
  return Utf8(out);
}

// The number of a shown text; false when it is not one (or does not fit a Double).
bool ReadNumber(const QString& text, double& value) {
  const std::string t = ProgramText(text);
  if (!vb::IsNumeric(t)) return false;
  try {
    value = vb::CDbl(t);
  } catch (const vb::RuntimeError&) {
    return false;  // too large for a Double
  }
  return std::isfinite(value);
}

// The shown text of an entry after evaluating its arithmetic (modArithmetic::EvaluateEntry).
QString EvaluatedShown(const QString& text) { return Shown(modArithmetic::EvaluateEntry(ProgramText(text))); }

// Runs a step whose failure only ends it, as every property setter of the box does.
template <class F>
void Quietly(F&& step) {
  try {
    step();
  } catch (const std::exception& e) {
    vb::NoteIgnoredError("csQuillet: property step", e);
  }
}

}  // namespace

// The inner text box: passes its keys, focus and mouse moves to the box.
class csQuillet::Edit : public QLineEdit {
 public:
  explicit Edit(csQuillet& owner) : QLineEdit(&owner), owner_(owner) { setMouseTracking(true); }

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
      owner_.Text1_Enter();
      e->accept();
      return;
    }
    // The edit shortcuts its context menu offers work from the keyboard too; pasted text is
    // taken as input like typed text.
    for (QKeySequence::StandardKey k : {QKeySequence::Paste, QKeySequence::Copy, QKeySequence::Cut,
                                        QKeySequence::SelectAll, QKeySequence::Undo, QKeySequence::Redo}) {
      if (e->matches(k)) {
        QLineEdit::keyPressEvent(e);
        return;
      }
    }
    const QString typed = e->text();
    // Keys without a character (arrows, Home, End, Delete, modifiers) and backspace pass.
    if (typed.isEmpty() || e->key() == Qt::Key_Delete || e->key() == Qt::Key_Backspace) {
      QLineEdit::keyPressEvent(e);
      return;
    }
    // The filter sees the program's separators: "." is the decimal separator, "," groups
    // thousands. A key types what it shows in the desktop locale: its decimal separator is a
    // decimal point, its group separator a group separator (so "." groups thousands where
    // the decimal separator is a comma). The point or comma of the key pad always types the
    // decimal separator.
    const QLocale locale;
    const QString point = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    char16_t key = typed.size() == 1 ? typed[0].unicode() : 0;
    const bool separatorKey = key == u'.' || key == u',';
    if ((separatorKey && (e->modifiers() & Qt::KeypadModifier)) || typed == point)
      key = u'.';
    else if (typed == group && group != point)
      key = u',';
    std::string content = ProgramText(text());
    const std::string before = content;
    modArithmetic::FilterKey(key, content);
    if (content != before) setText(Shown(content));  // "=": taken as input
    if (key == 0) {
      // Swallowed. Escape stays unhandled, so that a dialog around the box still sees it.
      if (e->key() == Qt::Key_Escape)
        e->ignore();
      else
        e->accept();
      return;
    }
    const QString out = key == u'.' ? point : key == u',' ? group : QString(QChar(key));
    if (out != typed) {
      QKeyEvent changed(e->type(), e->key(), e->modifiers(), out);
      QLineEdit::keyPressEvent(&changed);
      return;
    }
    QLineEdit::keyPressEvent(e);
  }

  // Focus moving to another control counts; a popup or another window taking it does not.
  static bool Counts(const QFocusEvent* e) {
    return e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason;
  }
  void focusInEvent(QFocusEvent* e) override {
    QLineEdit::focusInEvent(e);
    if (Counts(e)) owner_.UserControl_EnterFocus();
  }
  void focusOutEvent(QFocusEvent* e) override {
    QLineEdit::focusOutEvent(e);
    if (Counts(e)) owner_.UserControl_ExitFocus();
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    QLineEdit::mouseMoveEvent(e);
    owner_.Text1_MouseMove();
  }

 private:
  csQuillet& owner_;
};

// ---- construction and persistence -----------------------------------------------------

csQuillet::csQuillet(QWidget* parent) : csQuillet(QVariantMap(), parent) {}

csQuillet::csQuillet(const QVariantMap& bag, QWidget* parent) : QWidget(parent) {
  for (int i = 0; i < 6; ++i) m_Texts[static_cast<std::size_t>(i)] = kDefaultTexts[i];
  Text1 = new Edit(*this);
  Text1->setText("0.00");
  Label1 = new QLabel("(no_conv)", this);
  setFocusProxy(Text1);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
  ReadProperties(bag);
  InitControls();
}

// The text box goes first, while the box is whole: a focused text box loses its focus as it
// is destroyed, and that must not reach the handlers of a box half torn down.
csQuillet::~csQuillet() {
  delete Text1;
  Text1 = nullptr;
}

void csQuillet::ReadProperties(const QVariantMap& bag) {
  auto get = [&bag](const char* key, const QVariant& fallback) { return bag.value(key, fallback); };
  m_FormatString = get("FormatString", QString()).toString();
  m_FormatStringMetric = get("FormatStringMetric", QString()).toString();
  m_LabelSpace = get("LabelSpace", 60).toInt();
  m_LabelWidth = get("LabelWidth", 1320).toInt();
  m_Locked = get("Locked", false).toBool();
  m_Max = get("Max", 0.0).toDouble();
  m_Min = get("Min", 0.0).toDouble();
  m_TextBoxWidth = get("TextWidth", 1000).toInt();
  m_Units = get("Units", 0).toInt();
  m_Value = get("Value", 0.0).toDouble();
  m_Enabled = get("Enabled", true).toBool();
  m_Blanked = get("Blanked", false).toBool();
}

void csQuillet::WriteProperties(QVariantMap& bag) const {
  auto put = [&bag](const char* key, const QVariant& value, const QVariant& fallback) {
    if (value != fallback) bag.insert(key, value);
  };
  put("Blanked", m_Blanked, false);
  put("Enabled", m_Enabled, true);
  put("FormatString", m_FormatString, QString());
  put("FormatStringMetric", m_FormatStringMetric, QString());
  put("LabelSpace", static_cast<int>(m_LabelSpace), 60);
  put("LabelWidth", static_cast<int>(m_LabelWidth), 1320);
  put("Locked", m_Locked, false);
  put("Max", m_Max, 0.0);
  put("Min", m_Min, 0.0);
  put("TextWidth", static_cast<int>(m_TextBoxWidth), 1000);
  put("Units", static_cast<int>(m_Units), 0);
  put("Value", m_Value, 0.0);
}

// Styles the inner controls and lays the box out from the stored properties. Nothing here
// validates or counts as input.
void csQuillet::InitControls() {
  QFont textFont("Arial", 8);
  textFont.setBold(true);
  Text1->setFont(textFont);
  Text1->setReadOnly(m_Locked);
  Text1->setMinimumHeight(Text1->sizeHint().height());
  Label1->setFont(QFont("Arial", 9));
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);  // level with the text of the box
  QPalette labelColours = Label1->palette();
  labelColours.setColor(QPalette::Window, palette().color(QPalette::Button));
  labelColours.setColor(QPalette::WindowText, palette().color(QPalette::ButtonText));
  Label1->setPalette(labelColours);
  Label1->setAutoFillBackground(true);

  Text1->setGeometry(0, 0, Px(m_TextBoxWidth), Text1->minimumHeight());
  Label1->resize(Px(m_LabelWidth), Label1->height());
  resize(width(), Text1->height());

  m_bInternalUpdate = true;
  LabelSpace(m_LabelSpace);
  LabelWidth(m_LabelWidth);
  TextBoxWidth(m_TextBoxWidth);
  if (m_Blanked) {
    Blanked(true);
  } else {
    SetBackground(kWhite);
    Text1->setEnabled(m_Enabled);
    Label1->setEnabled(m_Enabled);
    setEnabled(m_Enabled);
  }
  m_bInternalUpdate = false;
  if (m_Units == NO_CONV) Label1->clear();
}

// ---- display --------------------------------------------------------------------------

const clsUnits& csQuillet::Converter() const {
  if (m_UnitCnv == nullptr) vb::Raise(vb::kObjectRequired);
  return *m_UnitCnv;
}

QString csQuillet::FormatValue(double ipValue) const {
  const clsUnits& units = Converter();
  const double shown = units.CnvToDevice(ipValue, m_Units);
  const QString& picture = units.CurrentUnitOfMeasure() == nMETRIC && !m_FormatStringMetric.isEmpty()
                               ? m_FormatStringMetric
                               : m_FormatString;
  // An empty picture gives the full-precision text.
  return QString::fromStdString(vb::Format(shown, Utf8(picture)));
}

QString csQuillet::ShownValue(double ipValue) const { return Shown(Utf8(FormatValue(ipValue))); }

QString csQuillet::LimitsToolTip() const {
  if (m_Min != 0.0 || m_Max != 0.0)
    return m_Texts[kMinPrefix] + ShownValue(m_Min) + ", " + m_Texts[kMaxPrefix] + ShownValue(m_Max);
  return m_Texts[kNoLimits];
}

void csQuillet::UpdateDisplay() {
  if (!Blanked()) SetText(ShownValue(m_Value));
  Label1->setText(QString::fromStdString(Converter().UnitStr(m_Units)));
  Text1->setToolTip(LimitsToolTip());
}

void csQuillet::SetText(const QString& text) { Text1->setText(text); }

void csQuillet::SetBackground(const QColor& colour) {
  QPalette p = Text1->palette();
  p.setColor(QPalette::Base, colour);
  Text1->setPalette(p);
}

bool csQuillet::IsWhite() const { return Text1->palette().color(QPalette::Base) == kWhite; }

void csQuillet::Refresh() {
  m_bInternalUpdate = true;
  Quietly([this] { UpdateDisplay(); });
  m_bInternalUpdate = false;
}

void csQuillet::UnitCnv(clsUnits* units) {
  m_UnitCnv = units;
  Quietly([this] { UpdateDisplay(); });
}

// ---- properties ---------------------------------------------------------------------------

void csQuillet::Value(double x) {
  Quietly([&] {
    if (!m_Blanked) SetText(ShownValue(x));
    if (Converter().CurrentUnitOfMeasure() != nENGLISH)
      m_Value = x;
    else
      m_Value = vb::CDbl(Utf8(FormatValue(x)));
    Validate();
  });
}

void csQuillet::Units(long id) {
  Quietly([&] {
    if (id < 0 || id > Converter().Count()) {
      ui::host().messageBox("Invalid Unit Type.", ui::kCritical, "");
      return;
    }
    m_Units = id;
    UpdateDisplay();
  });
}

void csQuillet::Min(double x) {
  m_Min = x;
  LimitChanged();
}

void csQuillet::Max(double x) {
  m_Max = x;
  LimitChanged();
}

void csQuillet::LimitChanged() {
  Quietly([this] {
    Text1->setToolTip(LimitsToolTip());
    if (Displayable()) Validate();
  });
}

void csQuillet::FormatString(const QString& picture) {
  m_FormatString = picture;
  Quietly([this] { UpdateDisplay(); });
}

void csQuillet::FormatStringMetric(const QString& picture) {
  m_FormatStringMetric = picture;
  Quietly([this] { UpdateDisplay(); });
}

void csQuillet::Blanked(bool blanked) {
  m_Blanked = blanked;
  QPalette p = Text1->palette();
  if (blanked) {
    const bool wasInternal = m_bInternalUpdate;
    m_bInternalUpdate = true;
    Text1->clear();
    m_bInternalUpdate = wasInternal;
    const QColor face = palette().color(QPalette::Button);
    p.setColor(QPalette::Text, face);
    p.setColor(QPalette::Base, face);
    Text1->setPalette(p);
    Text1->setEnabled(false);
    Label1->setEnabled(false);
    setEnabled(false);
    return;
  }
  p.setColor(QPalette::Active, QPalette::Text, kBlack);
  p.setColor(QPalette::Inactive, QPalette::Text, kBlack);
  p.setColor(QPalette::Disabled, QPalette::Text, palette().color(QPalette::Disabled, QPalette::Text));
  p.setColor(QPalette::Base, kWhite);
  Text1->setPalette(p);
  Value(m_Value);
  if (!m_Enabled) return;
  Text1->setEnabled(true);
  Label1->setEnabled(true);
  setEnabled(true);
}

void csQuillet::Enabled(bool enabled) {
  m_Enabled = enabled;
  if (m_Blanked) return;
  if (!enabled) SetBackground(kWhite);
  Text1->setEnabled(enabled);
  Label1->setEnabled(enabled);
  setEnabled(enabled);
  Validate();
}

void csQuillet::Locked(bool locked) {
  m_Locked = locked;
  Text1->setReadOnly(locked);
  if (m_Blanked) return;
  if (locked) SetBackground(kWhite);
  Validate();
}

void csQuillet::TranslationStrings(const QStringList& texts) {
  for (int i = 0; i < 6; ++i) {
    if (i >= texts.size()) return;
    m_Texts[static_cast<std::size_t>(i)] = texts[i];
  }
  Quietly([this] { Text1->setToolTip(LimitsToolTip()); });
}

// ---- validation ---------------------------------------------------------------------------

bool csQuillet::Validate() {
  bool valid = false;
  try {
    double typed = 0.0;
    if (!ReadNumber(Text1->text(), typed)) {
      Text1->setToolTip(m_Texts[kInvalidInput]);
    } else {
      const clsUnits& units = Converter();
      // The rewrite is input: Value becomes the shown, rounded number.
      SetText(ShownValue(m_Value));
      if (m_Min == 0.0 && m_Max == 0.0) {
        Text1->setToolTip(m_Texts[kNoLimits]);
        valid = true;
      } else {
        double low = m_Min;
        double high = m_Max;
        if (units.CurrentUnitOfMeasure() == nMETRIC) {
          // A value typed as the limit is shown never fails for the rounding of the display.
          const double lowShown = units.CnvFromDevice(vb::CDbl(Utf8(FormatValue(m_Min))), m_Units);
          const double highShown = units.CnvFromDevice(vb::CDbl(Utf8(FormatValue(m_Max))), m_Units);
          low = std::min(m_Min, lowShown);
          high = std::max(m_Max, highShown);
        }
        // A value whose 15-digit text equals the limit's is on the limit.
        auto sameText = [&](double a, double b) {
          return vb::CStr(units.CnvToDevice(a, m_Units)) == vb::CStr(units.CnvToDevice(b, m_Units));
        };
        const double v = m_Value;
        if (v < low && !sameText(v, low)) {
          Text1->setToolTip(m_Texts[kTooLow] + ShownValue(low));
        } else if (v > high && !sameText(v, high)) {
          Text1->setToolTip(m_Texts[kTooHigh] + ShownValue(high));
        } else {
          Text1->setToolTip(LimitsToolTip());
          valid = true;
          // A value accepted only because it shows as the shown SI limit (3.3 K typed against
          // 6 F = 3.33 K) becomes that limit: the stored value would otherwise lie outside the
          // limits and turn red once shown in IP.
          if (v < m_Min && !sameText(v, m_Min))
            m_Value = m_Min;
          else if (v > m_Max && !sameText(v, m_Max))
            m_Value = m_Max;
        }
      }
    }
  } catch (...) {
    valid = false;
  }
  if (Displayable()) {
    if (!valid)
      SetBackground(kRed);
    else if (!IsWhite())
      SetBackground(kWhite);
  }
  return valid;
}

// ---- handlers of the text box -------------------------------------------------------------

void csQuillet::Text1_Change() {
  if (m_bInternalUpdate) return;
  double typed = 0.0;
  double value = 0.0;
  if (ReadNumber(Text1->text(), typed)) {
    value = typed;
    Quietly([&] { value = Converter().CnvFromDevice(typed, m_Units); });
  }
  m_Value = value;
  emit Change();
  Quietly([this] { Text1->setToolTip(LimitsToolTip()); });
}

void csQuillet::Text1_Enter() {
  SetText(EvaluatedShown(Text1->text()));
  if (Validate()) Quietly([this] { SetText(ShownValue(m_Value)); });
  if (!Text1->text().isEmpty()) Text1->selectAll();
}

void csQuillet::Text1_MouseMove() {
  if (!m_bSelectOnMouseMove) return;
  if (!Text1->text().isEmpty()) Text1->selectAll();
  m_bSelectOnMouseMove = false;
}

void csQuillet::UserControl_EnterFocus() {
  if (!Text1->text().isEmpty()) Text1->selectAll();
  m_bSelectOnMouseMove = true;
}

void csQuillet::UserControl_ExitFocus() {
  if (Validate()) {
    Quietly([this] { SetText(ShownValue(m_Value)); });
  } else {
    SetText(EvaluatedShown(Text1->text()));
    if (Validate()) Quietly([this] { SetText(ShownValue(m_Value)); });
  }
  m_bSelectOnMouseMove = false;
}

// ---- layout -------------------------------------------------------------------------------

int csQuillet::Px(long twips) const { return qRound(static_cast<double>(twips) * logicalDpiX() / kTwipsPerInch); }

long csQuillet::TwipsPerPixel() const { return std::max(1L, kTwipsPerInch / logicalDpiX()); }

void csQuillet::SetControlWidth(int px) {
  resize(px, height());
  Layout();
}

void csQuillet::LabelSpace(long twips) {
  if (twips < 0) return;
  m_LabelSpace = twips;
  SetControlWidth(Text1->x() + Text1->width() + Px(twips) + Label1->width());
}

void csQuillet::LabelWidth(long twips) {
  m_LabelWidth = std::max(twips, TwipsPerPixel());
  SetControlWidth(Text1->x() + Text1->width() + Px(m_LabelSpace) + Px(m_LabelWidth));
}

void csQuillet::TextBoxWidth(long twips) {
  m_TextBoxWidth = std::max(twips, TwipsPerPixel());
  Text1->resize(Px(m_TextBoxWidth), Text1->height());
  SetControlWidth(Text1->x() + Text1->width() + Px(m_LabelSpace) + Px(m_LabelWidth));
}

void csQuillet::resizeEvent(QResizeEvent*) { Layout(); }

// The text box takes the width left after the gap and the label; the label keeps its width.
// A box narrower than the least text box + gap + label widens again.
void csQuillet::Layout() {
  const int textHeight = std::max(height(), Text1->minimumHeight());
  Text1->resize(Text1->width(), textHeight);
  if (height() < textHeight) resize(width(), textHeight);
  if (Label1->width() == Px(m_LabelWidth)) {
    // The container changed the size of the box.
    const int w = width() - Px(m_LabelWidth) - Px(m_LabelSpace);
    if (w > 0) {
      Text1->resize(w, Text1->height());
    } else {
      Text1->resize(Px(kMinTextWidth), Text1->height());
      resize(Text1->x() + Text1->width() + Px(m_LabelSpace) + Px(m_LabelWidth), height());
    }
    // The stored width follows the text box only when its pixel width changed, so a width
    // that is no whole number of pixels is kept as it was set.
    if (Px(m_TextBoxWidth) != Text1->width())
      m_TextBoxWidth = qRound(Text1->width() * static_cast<double>(kTwipsPerInch) / logicalDpiX());
  }
  Label1->setGeometry(Text1->x() + Text1->width() + Px(m_LabelSpace), Text1->y() + Px(kLabelDrop), Px(m_LabelWidth),
                      Text1->height() - Px(kLabelDrop));
}

QSize csQuillet::sizeHint() const {
  return {Px(m_TextBoxWidth) + Px(m_LabelSpace) + Px(m_LabelWidth), Text1->minimumHeight()};
}

QSize csQuillet::minimumSizeHint() const {
  return {Px(kMinTextWidth) + Px(m_LabelSpace) + Px(m_LabelWidth), Text1->minimumHeight()};
}
