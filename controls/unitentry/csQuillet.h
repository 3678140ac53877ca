// csQuillet: the numeric entry box of every number the user types in the program: a text box
// (Text1) with the unit label (Label1) to its right.
//
// The value model
//   Value, Min and Max are always inch-pound (IP). The box shows Value converted to the unit
//   system of its converter (a clsUnits, normally the program's one modpublic::gUnits, bound
//   by clsUnitControls::LoadUnits) for the quantity Units (a UnitCnv id; 0 = NO_CONV shows the
//   number unconverted and no label). Display pictures: FormatStringMetric in SI when it is set,
//   else FormatString; an empty picture shows full precision (15 significant digits). The box
//   shows and reads numbers with the desktop locale's (QLocale()) decimal and group
//   separators; the key pad's point (or comma) types the decimal separator. A group separator
//   counts only where the locale writes one, between groups of three whole-number digits
//   ("1,200.5" en_US, "1.200,5" de_DE); anywhere else ("7,5" en_US, "7.5" de_DE) the text is
//   no number. Behind the box numbers are the program's locale-independent texts (vb::Format,
//   vb::CDbl, modArithmetic: "." decimal, "," grouping).
//   Setting Value in IP display stores the number the picture shows (44.123 with "0.0" stores
//   44.1); in SI display it stores the value exactly.
//
// Input
//   Every change of the text, typed or made by the box itself, is "taken as input": a number
//   gives Value = the number converted back to IP, anything else Value = 0, and Change() is
//   emitted. Refresh() and a box built from a property bag change the text without that.
//   The user may type arithmetic ("12*3", evaluated by modArithmetic) which is evaluated on "=", on
//   Enter and on leaving the box while it is invalid. Only the keys modArithmetic::FilterKey lets
//   through reach the text; keys without text (arrows, Home, End, Delete) always do.
//   Leaving the box or Enter validates it and rewrites the text in the display picture.
//
// Validation (Validate())
//   White and the limits as tooltip ("Min = 40.0, Max = 60.0", or "No Limits") when valid;
//   red with "Value too high: Max = ...", "Value too low: Min = ..." or "Invalid input
//   (Numeric value required)" when not. Min = Max = 0 means no limits; once either is not 0
//   both apply (Min 5, Max 0: every value above 0 is too high). In SI a value that shows equal
//   to a shown limit is accepted (4.4 C against Min 40 F). The colours change only while the
//   box is enabled, not locked and not blanked; Validate always returns the verdict. The box
//   never shows a message about its entry; the window that acts on the inputs validates every
//   box (Validate, or clsUnitControls::ValidateUnitCtl) and shows one summary message.
//
// How a window builds and uses a box (what the main window does)
//   1. Create each box from a property bag, which sets every property without side effects
//      (no validation, no Change, no "Invalid Unit Type." box before a converter exists):
//        auto* unc = new csQuillet({{"Units", F_TO_C}, {"FormatString", "0.0"},
//                                   {"Min", 40.0}, {"Max", 60.0}}, parent);
//      Keys and defaults: "Units" 0, "Value" 0, "Min" 0, "Max" 0, "FormatString" "",
//      "FormatStringMetric" "", "Blanked" false, "Enabled" true, "Locked" false,
//      "LabelSpace" 60, "LabelWidth" 1320, "TextWidth" 1000 (widths in twips, 1/1440 inch).
//      Place it with setGeometry/move or a layout; its width is text box + gap + label.
//   2. Once all boxes exist, gUnitControls.LoadUnits(window) binds every csQuillet child to
//      gUnits and shows them. Before that the box shows "0.00" and every property setter
//      that needs the converter (Value, Units, ...) ends quietly without effect. Binding
//      re-displays the text, which counts as input: connect Change() afterwards, or ignore it
//      while the window fills its controls (m_bFormReady).
//   3. Fill values with Value(x) (IP; raises Change, validates); read them with Value().
//   4. On a unit-system switch set gUnits.CurrentUnitOfMeasure and call
//      gUnitControls.RefreshUnits(): each box re-displays its unchanged IP value (Refresh),
//      with no Change and no rounding of Value.
//   5. Before acting on the inputs, call Validate() on every box that is not Blanked.
//   Setters that do more than store their value (re-display, raise Change, validate) say
//   so at their declaration.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QWidget>
#include <array>

#include "quillet_export.h"

class QLabel;
class QLineEdit;
class clsUnits;

class QUILLET_EXPORT csQuillet : public QWidget {
  Q_OBJECT
  Q_PROPERTY(double Value READ Value WRITE Value)
  Q_PROPERTY(long Units READ Units WRITE Units)
  Q_PROPERTY(double Min READ Min WRITE Min)
  Q_PROPERTY(double Max READ Max WRITE Max)
  Q_PROPERTY(QString FormatString READ FormatString WRITE FormatString)
  Q_PROPERTY(QString FormatStringMetric READ FormatStringMetric WRITE FormatStringMetric)
  Q_PROPERTY(bool Blanked READ Blanked WRITE Blanked)
  Q_PROPERTY(bool Enabled READ Enabled WRITE Enabled)
  Q_PROPERTY(bool Locked READ Locked WRITE Locked)
  Q_PROPERTY(long LabelSpace READ LabelSpace WRITE LabelSpace)
  Q_PROPERTY(long LabelWidth READ LabelWidth WRITE LabelWidth)
  Q_PROPERTY(long TextBoxWidth READ TextBoxWidth WRITE TextBoxWidth)

 public:
  // The six texts, in the order TranslationStrings takes them.
  enum TextIndex { kMaxPrefix, kMinPrefix, kNoLimits, kTooHigh, kTooLow, kInvalidInput };
  static constexpr long kTwipsPerInch = 1440;

  // A new box with every property at its default.
  explicit csQuillet(QWidget* parent = nullptr);
  // A box restored from its saved properties (keys above; missing keys take the default).
  // Stores them as they are, lays the box out, and emits nothing.
  explicit csQuillet(const QVariantMap& bag, QWidget* parent = nullptr);
  ~csQuillet() override;

  // The properties that differ from their default, under the bag's keys ("TextWidth" for
  // TextBoxWidth). A box built from that bag has the same properties.
  void WriteProperties(QVariantMap& bag) const;

  // ---- converter ----
  // Binds the converter (not owned) and re-displays the box; a changed text counts as input.
  void UnitCnv(clsUnits* units);
  clsUnits* UnitCnv() const { return m_UnitCnv; }

  // ---- properties (getters return the stored value) ----
  double Value() const { return m_Value; }
  // Shows x in the picture (counted as input), stores it (rounded to the picture in IP), then
  // validates. Nothing is shown while Blanked.
  void Value(double x);
  long Units() const { return m_Units; }
  // An id outside 0..converter Count shows "Invalid Unit Type." and keeps the old id.
  void Units(long id);
  double Min() const { return m_Min; }
  double Max() const { return m_Max; }
  // Store the limit, refresh the tooltip, validate when enabled, not locked, not blanked.
  void Min(double x);
  void Max(double x);
  QString FormatString() const { return m_FormatString; }
  QString FormatStringMetric() const { return m_FormatStringMetric; }
  // Store the picture and re-display (counted as input: Change is emitted when the text changes).
  void FormatString(const QString& picture);
  void FormatStringMetric(const QString& picture);
  bool Blanked() const { return m_Blanked; }
  // True: empty text (no Change), button-face colours, box disabled. False: the stored Value
  // is shown again through Value(x) (Change emitted), enabled again unless Enabled is False.
  void Blanked(bool blanked);
  bool Enabled() const { return m_Enabled; }
  // Enables or disables the box and validates; no effect but storing while Blanked.
  void Enabled(bool enabled);
  bool Locked() const { return m_Locked; }
  // Read-only text (a locked box turns white), then validates unless Blanked.
  void Locked(bool locked);
  // Widths in twips. The gap: a negative one is ignored. The label and text box widths: at
  // least one pixel. Each setter resizes the box to text box + gap + label.
  long LabelSpace() const { return m_LabelSpace; }
  void LabelSpace(long twips);
  long LabelWidth() const { return m_LabelWidth; }
  void LabelWidth(long twips);
  long TextBoxWidth() const { return m_TextBoxWidth; }
  void TextBoxWidth(long twips);

  // The inner controls, for a window that restyles or re-captions them.
  QLabel* Label() const { return Label1; }
  QLineEdit* TextBox() const { return Text1; }

  // ---- methods ----
  // Re-displays the unchanged Value in the converter's current unit system, with the unit
  // label and limits tooltip; emits nothing. Errors are ignored.
  Q_INVOKABLE void Refresh();
  // Judges the entry (see the top of this file); may rewrite the text in the picture.
  Q_INVOKABLE bool Validate();
  // Replaces the six texts (TextIndex order) from the first element on. A shorter list
  // replaces what it has and leaves the tooltip as it is; a full one refreshes the tooltip.
  Q_INVOKABLE void TranslationStrings(const QStringList& texts);
  // The six texts in use.
  const std::array<QString, 6>& Texts() const { return m_Texts; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  // The text changed and was taken as input (typed, pasted, evaluated or rewritten by the box).
  void Change();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  class Edit;

  void InitControls();
  void ReadProperties(const QVariantMap& bag);
  // The value in the display picture as the program writes numbers ("." decimal), and as
  // the box shows it (the desktop locale's separators).
  QString FormatValue(double ipValue) const;
  QString ShownValue(double ipValue) const;
  QString LimitsToolTip() const;
  void UpdateDisplay();
  void LimitChanged();
  void SetText(const QString& text);
  void SetBackground(const QColor& colour);
  bool IsWhite() const;
  const clsUnits& Converter() const;
  bool Displayable() const { return !m_Blanked && m_Enabled && !m_Locked; }

  // Layout in twips on the widget's logical dpi.
  int Px(long twips) const;
  long TwipsPerPixel() const;
  void SetControlWidth(int px);
  void Layout();

  // Handlers of the inner text box.
  void Text1_Change();
  void Text1_Enter();
  void Text1_MouseMove();
  void UserControl_EnterFocus();
  void UserControl_ExitFocus();

  QLineEdit* Text1 = nullptr;
  QLabel* Label1 = nullptr;
  clsUnits* m_UnitCnv = nullptr;

  long m_Units = 0;
  double m_Value = 0.0;
  double m_Min = 0.0;
  double m_Max = 0.0;
  QString m_FormatString;
  QString m_FormatStringMetric;
  bool m_Blanked = false;
  bool m_Enabled = true;
  bool m_Locked = false;
  long m_LabelSpace = 60;
  long m_LabelWidth = 1320;
  long m_TextBoxWidth = 1000;

  bool m_bInternalUpdate = false;
  bool m_bSelectOnMouseMove = false;
  std::array<QString, 6> m_Texts;
};
