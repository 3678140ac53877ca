// CResource: the form operations. The system's control kinds map onto Qt as follows:
// "Menu" a QMenu or a QAction in a menu, "TabStrip" a QTabWidget or QTabBar, "ComboBox" a
// QComboBox, "Toolbar" a QToolBar (its actions are the buttons), "ListView" a table or tree
// view (its header columns), "StatusBar" a QStatusBar (its labels are the panels); any other
// named widget has a caption when it is a label, a button or a group box.
#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QTreeView>
#include <QWidget>

#include <functional>
#include <optional>

#include "app/resources/CResource.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/db/db.h"
#include "platform/ui/ui.h"

namespace {

enum class Kind { Menu, TabStrip, ComboBox, Toolbar, ListView, StatusBar, Other, None };

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

bool InMenu(const QAction* action) {
  for (const QObject* o : action->associatedObjects()) {
    if (qobject_cast<const QMenu*>(o) || qobject_cast<const QMenuBar*>(o)) return true;
  }
  return false;
}

Kind KindOf(const QObject* o) {
  if (const auto* action = qobject_cast<const QAction*>(o)) {
    return InMenu(action) ? Kind::Menu : Kind::None;  // toolbar buttons belong to the toolbar
  }
  if (qobject_cast<const QMenu*>(o)) return Kind::Menu;
  if (qobject_cast<const QTabWidget*>(o) || qobject_cast<const QTabBar*>(o)) return Kind::TabStrip;
  if (qobject_cast<const QComboBox*>(o)) return Kind::ComboBox;
  if (qobject_cast<const QToolBar*>(o)) return Kind::Toolbar;
  if (qobject_cast<const QTableView*>(o) || qobject_cast<const QTreeView*>(o)) {
    return Kind::ListView;
  }
  if (qobject_cast<const QStatusBar*>(o)) return Kind::StatusBar;
  return Kind::Other;
}

// True when the widget belongs to a window of its own inside the form (a child dialog);
// menus are windows too, but part of the form.
bool InOtherWindow(const QWidget* w, const QWidget* form) {
  for (; w && w != form; w = w->parentWidget()) {
    if (w->isWindow() && !qobject_cast<const QMenu*>(w)) return true;
  }
  return false;
}

// The form's controls: its named widgets and actions, without Qt's own parts, the panels of
// status bars (reached through their bar) and the contents of other windows.
std::vector<QObject*> Controls(QWidget* form) {
  std::vector<QObject*> controls;
  for (QObject* o : form->findChildren<QObject*>()) {
    const QString name = o->objectName();
    if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
    if (auto* w = qobject_cast<QWidget*>(o)) {
      if (InOtherWindow(w, form)) continue;
      if (qobject_cast<QStatusBar*>(w->parentWidget())) continue;
    } else if (!qobject_cast<QAction*>(o)) {
      continue;
    }
    controls.push_back(o);
  }
  return controls;
}

// The control-array index as text; "" when the control is not part of an array.
std::string IndexOf(const QObject* o) {
  const QVariant index = o->property("index");
  return index.isValid() ? vb::CStr(index.toLongLong()) : std::string();
}

// A property of a control: read gives nothing when the control has no such property.
struct Accessor {
  std::function<std::optional<QString>()> read;
  std::function<void(const QString&)> write;
};

// A text property through its Qt getter and setter.
template <class T>
Accessor Property(T* o, QString (T::*get)() const, void (T::*set)(const QString&)) {
  return {[o, get] { return std::optional<QString>((o->*get)()); }, [o, set](const QString& t) { (o->*set)(t); }};
}

Accessor NoProperty() {
  return {[] { return std::nullopt; }, [](const QString&) {}};
}

Accessor Caption(QObject* o) {
  if (auto* a = qobject_cast<QAction*>(o)) return Property(a, &QAction::text, &QAction::setText);
  if (auto* m = qobject_cast<QMenu*>(o)) return Property(m, &QMenu::title, &QMenu::setTitle);
  if (auto* l = qobject_cast<QLabel*>(o)) return Property(l, &QLabel::text, &QLabel::setText);
  if (auto* b = qobject_cast<QAbstractButton*>(o)) {
    return Property(b, &QAbstractButton::text, &QAbstractButton::setText);
  }
  if (auto* g = qobject_cast<QGroupBox*>(o)) {
    return Property(g, &QGroupBox::title, &QGroupBox::setTitle);
  }
  return NoProperty();
}

Accessor ToolTip(QObject* o) {
  if (auto* a = qobject_cast<QAction*>(o)) {
    return Property(a, &QAction::toolTip, &QAction::setToolTip);
  }
  if (auto* w = qobject_cast<QWidget*>(o)) {
    return Property(w, &QWidget::toolTip, &QWidget::setToolTip);
  }
  return NoProperty();
}

Accessor Tag(QObject* o) {
  return {[o]() -> std::optional<QString> {
            const QVariant tag = o->property("tag");
            if (!tag.isValid()) return std::nullopt;
            return tag.toString();
          },
          [o](const QString& t) { o->setProperty("tag", t); }};
}

// The free text of a combo box: only where the user can type it and no entry is selected
// (the text of a selected entry is the entry's, which the selection keeps).
Accessor ComboText(QComboBox* c) {
  return {[c]() -> std::optional<QString> {
            if (!c->isEditable() || c->currentIndex() >= 0) return std::nullopt;
            return c->currentText();
          },
          [c](const QString& t) { c->setEditText(t); }};
}

// The labels that hold the six unit entry texts, and which of them get a blank appended.
constexpr std::array<const char*, 6> kUnitLabels = {"lblMax",        "lblMin",       "lblNoLimits",
                                                    "lblValTooHigh", "lblValTooLow", "lblInvalidInput"};
constexpr std::array<bool, 6> kUnitLabelBlank = {true, true, false, true, true, false};

bool IsUnitControl(const QObject* o) {
  // The class name without its namespace.
  const QString full = QString::fromLatin1(o->metaObject()->className());
  const qsizetype colons = full.lastIndexOf(QLatin1String("::"));
  const QString type = colons < 0 ? full : full.mid(colons + 2);
  return type.startsWith(QLatin1String("csQuillet")) || type.startsWith(QLatin1String("csTarrow"));
}

}  // namespace

namespace {

// Looks up the rows of one control (its CAPTION, TEXT, ... keys) and writes what was found.
class Translator {
 public:
  explicit Translator(const CResource& resource) : resource_(resource) {}

  // Reads the property; an empty or unreadable one is skipped. A found text is written;
  // a missing or disabled row leaves the property as it is. Returns the text written.
  QString Translate(const Accessor& property, const std::string& control, const std::string& key,
                    const std::string& index = {}) const {
    const std::optional<QString> current = property.read();
    if (!current || current->isEmpty()) return {};
    const std::string text = resource_.LookupTranslation(control, key, index);
    if (text.empty() || text == CResource::kDisabledMarker) return {};
    property.write(Q(text));
    return Q(text);
  }

 private:
  const CResource& resource_;
};

void TranslateTabs(const Translator& t, const std::string& name, QTabBar* bar) {
  if (!bar) return;
  for (int i = 0; i < bar->count(); ++i) {
    const std::string tab = name + ".Tabs.Tab" + vb::CStr(i + 1);
    t.Translate({[bar, i] { return bar->tabText(i); }, [bar, i](const QString& s) { bar->setTabText(i, s); }}, tab,
                "CAPTION");
    t.Translate({[bar, i] { return bar->tabToolTip(i); }, [bar, i](const QString& s) { bar->setTabToolTip(i, s); }},
                tab, "OBJECT.TOOLTIPTEXT");
  }
}

QTabBar* TabBarOf(QObject* o) {
  if (auto* tabs = qobject_cast<QTabWidget*>(o)) return tabs->tabBar();
  return qobject_cast<QTabBar*>(o);
}

QHeaderView* HeaderOf(QObject* o) {
  if (auto* table = qobject_cast<QTableView*>(o)) return table->horizontalHeader();
  if (auto* tree = qobject_cast<QTreeView*>(o)) return tree->header();
  return nullptr;
}

std::vector<QLabel*> PanelsOf(QStatusBar* bar) {
  std::vector<QLabel*> panels;
  for (QLabel* label : bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
    panels.push_back(label);
  }
  return panels;
}

}  // namespace

void CResource::LoadResStrings(QWidget* form) {
  if (!form) return;
  CurrentForm(S(form->objectName()));
  if (!modpublic::IsDatabaseOpen(resourceDb_)) return;
  const Translator t(*this);
  const std::string formName = S(form->objectName());
  t.Translate({[form] { return form->windowTitle(); }, [form](const QString& s) { form->setWindowTitle(s); }}, formName,
              "CAPTION");

  for (QObject* o : Controls(form)) {
    const std::string name = S(o->objectName());
    const std::string index = IndexOf(o);
    switch (KindOf(o)) {
      case Kind::Menu: {
        const Accessor caption = Caption(o);
        const std::optional<QString> text = caption.read();
        if (text && *text != QLatin1String("-")) t.Translate(caption, name, "CAPTION", index);
        break;
      }
      case Kind::TabStrip:
        TranslateTabs(t, name, TabBarOf(o));
        break;
      case Kind::ComboBox:
        t.Translate(ComboText(static_cast<QComboBox*>(o)), name, "TEXT", index);
        t.Translate(ToolTip(o), name, "TOOLTIPTEXT", index);
        t.Translate(Tag(o), name, "TAG", index);
        break;
      case Kind::Toolbar: {
        const QList<QAction*> buttons = static_cast<QToolBar*>(o)->actions();
        for (int i = 0; i < buttons.size(); ++i) {
          QAction* button = buttons[i];
          if (button->isSeparator()) continue;
          const QString tip =
              t.Translate(ToolTip(button), name + ".Buttons.Button" + vb::CStr(i + 1), "Object.ToolTipText");
          if (!tip.isEmpty()) button->setProperty("tag", tip);
        }
        break;
      }
      case Kind::ListView: {
        QHeaderView* header = HeaderOf(o);
        QAbstractItemModel* model = header ? header->model() : nullptr;
        if (!model) break;
        for (int i = 0; i < model->columnCount(); ++i) {
          t.Translate({[model, i] { return model->headerData(i, Qt::Horizontal).toString(); },
                       [model, i](const QString& s) { model->setHeaderData(i, Qt::Horizontal, s); }},
                      name + ".ColumnHeader", "TEXT", vb::CStr(i + 1));
        }
        break;
      }
      case Kind::StatusBar: {
        const std::vector<QLabel*> panels = PanelsOf(static_cast<QStatusBar*>(o));
        for (std::size_t i = 0; i < panels.size(); ++i) {
          const std::string panel = name + ".Panels.Panel" + vb::CStr(static_cast<long long>(i + 1));
          t.Translate(Caption(panels[i]), panel, "CAPTION");
          t.Translate(ToolTip(panels[i]), panel, "Object.ToolTipText");
          t.Translate(Caption(panels[i]), panel, "TEXT");
        }
        break;
      }
      case Kind::Other:
        t.Translate(Caption(o), name, "CAPTION", index);
        t.Translate(ToolTip(o), name, "TOOLTIPTEXT", index);
        t.Translate(Tag(o), name, "TAG", index);
        break;
      case Kind::None:
        break;
    }
  }
}

namespace {

// The entry of a combo box composed by the layout word (first letter, and the 6th or 7th).
std::string ComposeEntry(const std::string& layout, const std::string& text, const std::string& value,
                         const std::string& label) {
  const std::string word = vb::UCase(layout);
  const auto letter = [&](std::size_t n) { return word.size() >= n ? word[n - 1] : '\0'; };
  if (letter(1) == 'T') return letter(6) == 'V' ? text + " " + value + " " + label : text;
  if (letter(1) == 'V') {
    return letter(7) == 'T' ? value + " " + label + " " + text : value + " " + label;
  }
  return text.empty() ? value : text;
}

}  // namespace

bool CResource::LoadComboBox(QComboBox* combo, int32_t first, int32_t last) {
  return modpublic::RunGuarded(GetErrSource("LoadComboBox"), "", ui::kCritical, [&] {
    if (!combo) return false;
    const std::string control = S(combo->objectName());
    const std::string formName = S(combo->window()->objectName());
    const std::string layout = LookupTranslation(control, "DROPDOWNFORMAT", "0");
    const bool metric = modpublic::gUnits.CurrentUnitOfMeasure() != nENGLISH;
    combo->clear();
    int count = 0;
    for (int64_t n = first; n <= last; ++n) {
      const std::string index = vb::CStr(static_cast<long long>(n));
      const std::string text = LookupTranslation(control, "DROPDOWNTEXT", index);
      // Each entry's value row brings its own unit: an entry without one is not converted.
      int32_t unit = NO_CONV;
      const std::string valueText = SeekTranslation(formName, control, unit, "DROPDOWNVALUE", index, metric);
      const std::string label = modpublic::gUnits.UnitLabel(unit, modpublic::gUnits.CurrentUnitOfMeasure());
      const double number = vb::IsNumeric(valueText) ? vb::CDbl(valueText) : 0.0;
      const std::string value = vb::Trim(vb::CStr(modpublic::gUnits.CnvToDevice(number, unit)));
      if (value == "0" && text.empty()) break;  // the end of the list
      if (text == kDisabledMarker) continue;    // left out; the numbering goes on
      combo->addItem(Q(ComposeEntry(layout, text, value, label)));
      combo->setItemData(count++, QVariant::fromValue(static_cast<qlonglong>(n)));
    }
    return true;
  });
}

void CResource::ChangeFonts(QWidget* form) {
  if (!form || fontName_.empty() || S(form->font().family()) == fontName_) return;
  const bool splash = form->objectName() == QLatin1String("frmSplash");
  const auto languageFont = [&](QFont font) {
    font.setFamily(Q(fontName_));
    font.setPointSizeF(fontSize_);
    font.setBold(false);
    return font;
  };
  if (splash) {
    QFont font = form->font();
    font.setFamily(Q(fontName_));
    form->setFont(font);
  } else {
    form->setFont(languageFont(form->font()));
  }

  for (QObject* o : Controls(form)) {
    switch (KindOf(o)) {
      case Kind::Menu:
        if (auto* a = qobject_cast<QAction*>(o)) a->setFont(languageFont(a->font()));
        if (auto* m = qobject_cast<QMenu*>(o)) m->setFont(languageFont(m->font()));
        break;
      case Kind::TabStrip:
        if (QTabBar* bar = TabBarOf(o)) bar->setFont(languageFont(bar->font()));
        break;
      case Kind::Toolbar:
        for (QAction* button : static_cast<QToolBar*>(o)->actions()) {
          if (!button->isSeparator()) button->setFont(languageFont(button->font()));
        }
        break;
      case Kind::ListView:
        if (QHeaderView* header = HeaderOf(o)) header->setFont(languageFont(header->font()));
        break;
      case Kind::StatusBar:
        for (QLabel* panel : PanelsOf(static_cast<QStatusBar*>(o))) {
          panel->setFont(languageFont(panel->font()));
        }
        break;
      case Kind::ComboBox:
      case Kind::Other:
        if (!splash && Caption(o).read()) {
          auto* w = static_cast<QWidget*>(o);
          w->setFont(languageFont(w->font()));
        }
        break;
      case Kind::None:
        break;
    }
  }
}

void CResource::LoadUnitToolTipText(QWidget* form) {
  if (!form) return;
  std::array<std::string, 6> texts;
  bool complete = true;
  for (std::size_t i = 0; i < kUnitLabels.size(); ++i) {
    const auto* label = form->findChild<QLabel*>(QLatin1String(kUnitLabels[i]));
    if (label) texts[i] = S(label->text()) + (kUnitLabelBlank[i] ? " " : "");
    complete = complete && label && !label->text().isEmpty();
  }
  if (complete) {
    unitTipTexts_ = texts;
    SetUnitControlStrings(form, texts);
    return;
  }
  for (const std::string& remembered : unitTipTexts_) {
    if (remembered.empty()) return;
  }
  SetUnitControlStrings(form, unitTipTexts_);
}

void CResource::SetUnitControlStrings(QWidget* form, const std::array<std::string, 6>& texts) {
  QStringList strings;
  for (const std::string& text : texts) strings << Q(text);
  for (QObject* o : form->findChildren<QObject*>()) {
    if (IsUnitControl(o)) o->setProperty("TranslationStrings", strings);
  }
}

void CResource::LoadAllForms() {
  modpublic::RunGuarded(GetErrSource("LoadAllForms"), "", ui::kCritical, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      const Qt::WindowType type = w->windowType();
      if (type == Qt::Window || type == Qt::Dialog) LoadResStrings(w);
    }
  });
}
