#include "app/reports/plv/plv_values.h"

#include <algorithm>
#include <cmath>

#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

namespace reports::plv {

std::string Numbered(int32_t n, const std::string& title, const std::string& letter) {
  return std::to_string(n) + letter + ".  " + title;
}

void SetValueTab(richtext::TerHwnd h, int32_t fromLine, int32_t position, int32_t toLine) {
  richtext::SelectTerText(h, fromLine, 0, toLine, 9999, false);
  richtext::TerSetTab(h, 1, position, 1, false);
  richtext::DeselectTerText(h, false);
}

int32_t ValueTabFor(const std::vector<std::string>& labels, double points, bool bold, int32_t minimum) {
  // A font one twip to the pixel: advances come out in twips.
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(static_cast<int>(std::lround(points * 20)));
  font.setBold(bold);
  const QFontMetricsF metrics(font);
  double widest = 0;
  for (const std::string& label : labels)
    widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(label)));
  return std::max<int32_t>(minimum, static_cast<int32_t>(std::ceil(widest)) + kLabelGap);
}

std::string HeatRecoveryNote() {
  return "Note: For this heat recovery plant, the custom PLV analysis only evaluates the performance of the "
         "cooling-only chillers and the portion of the building load served by these chillers.  Performance of "
         "the dedicated heat recovery chiller and the cooling it provides is not included in the calculation of "
         "custom PLV";
}

int ChillerCount(const PLVProfileData& profile) { return std::clamp<int>(profile.nNumChillerResults, 0, 30); }

int BinCount(const PLVProfileData& profile) { return std::clamp<int>(profile.nLastLoadBin, 0, 24); }

RatingMeans PlantRatingMeans(const PLVProfileData& profile) {
  RatingMeans means;
  const int n = ChillerCount(profile);
  if (n == 0) return means;
  for (int p = 1; p <= 4; ++p) {
    float weightSum = 0;
    double weightedEcwt = 0;
    for (int c = 1; c <= n; ++c) {
      const ChillerResultData& r = profile.ChillerResults(c);
      weightSum += r.fWeightingFactor(p);
      weightedEcwt += static_cast<double>(r.fWeightingFactor(p)) * r.fECWT(p);
    }
    means.weightingFactor[static_cast<size_t>(p - 1)] = weightSum / static_cast<float>(n);
    means.ecwt[static_cast<size_t>(p - 1)] = weightSum > 0 ? static_cast<float>(weightedEcwt / weightSum) : 0.0f;
  }
  return means;
}

bool OwnFactors(const PLVProfileData& profile, int chiller) {
  const int n = ChillerCount(profile);
  const int16_t group = profile.ChillerResults(chiller).nGroup;
  for (int c = 1; c <= n; ++c)
    if (c != chiller && profile.ChillerResults(c).nGroup == group) return false;
  return true;
}

std::vector<std::vector<int>> Pools(const PLVProfileData& profile) {
  const int n = ChillerCount(profile);
  int count = 0;
  for (int c = 1; c <= n; ++c)
    if (!OwnFactors(profile, c)) count = std::max<int>(count, profile.ChillerResults(c).nGroup);
  std::vector<std::vector<int>> pools(static_cast<size_t>(count));
  for (int c = 1; c <= n; ++c) {
    const int g = profile.ChillerResults(c).nGroup;
    if (g >= 1 && g <= count) pools[static_cast<size_t>(g - 1)].push_back(c);
  }
  return pools;
}

double PoolGrandTotal(const ChillerResultData& first) {
  double total = 0;
  for (int p = 1; p <= 4; ++p) total += first.fPoolTonHours(p);
  return total;
}

double CarriedTonHours(const PLVProfileData& profile, const std::vector<int>& members, double own) {
  const int bins = BinCount(profile);
  for (int b = 1; b <= bins; ++b) {
    double carried = 0;
    for (int c : members) carried += profile.ChillerResults(c).fBinTonHours(b);
    const double whole = profile.Bins(b).lLoadHours;
    // Half a ton-hour of rounding, and what single-precision sums lose on large bins.
    if (std::abs(carried - whole) > 0.5 + 1e-5 * std::abs(whole)) return own;
  }
  return profile.lTotalLoadHours;
}

std::string TempOrNA(double value, const std::string& format) {
  return value == 0 ? std::string("n/a") : modpublic::FormatUnitValue(value, F_TO_C, format);
}

bool RatingPointWeighs(double weight, double ecwt) { return weight >= kMinShownWeight && ecwt != 0; }

std::string RatingPointECWT(double weight, double ecwt, const std::string& format) {
  return RatingPointWeighs(weight, ecwt) ? modpublic::FormatUnitValue(ecwt, F_TO_C, format) : std::string("n/a");
}

std::string Clean(const std::string& s) { return vb::Trim(modpublic::TrimNull(s)); }

std::string TagList(const PLVProfileData& profile, const std::vector<int>& members) {
  std::string list;
  for (int c : members) {
    if (!list.empty()) list += ", ";
    list += Clean(profile.ChillerResults(c).sSlotName);
  }
  return list;
}

long InputUnitId(int16_t energySource) {
  if (energySource == 3) return LB_TO_KG;
  if (energySource == 2) return MBH_TO_KW;
  return KW_TO_KW;
}

double FullLoadInput(const ChillerResultData& r, int16_t efficiencyKind) {
  double perTon = r.fFLEfficiency;
  if (r.nEfficiencyKind == 1 && efficiencyKind == 1) perTon = perTon > 0 ? 12.0 / perTon : 0.0;
  return perTon * r.fCapacity;
}

std::string FullLoadPowerText(const ChillerResultData& r, int16_t efficiencyKind) {
  using modpublic::AddUnitLabel;
  using modpublic::FormatUnitValue;
  switch (r.nEfficiencyKind) {
    case 1: {
      const long id = efficiencyKind == 1 ? modpublic::gEfficiencyUnitID : KWTON_TO_IKWKW;
      return FormatUnitValue(r.fFLEfficiency, id) + " " + EfficiencySymbol(efficiencyKind);
    }
    case 2:
      return FormatUnitValue(r.fFLEfficiency, MBHTON_TO_IKWKW, "0.000") + AddUnitLabel("", MBHTON_TO_IKWKW, false);
    case 3:
      return FormatUnitValue(r.fFLEfficiency, LBTONHR_TO_KGKWH, "0.000") + AddUnitLabel("", LBTONHR_TO_KGKWH, false);
    default:
      return "";
  }
}

std::string EfficiencySymbol(int16_t efficiencyKind) {
  const long id = efficiencyKind == 1 ? modpublic::gEfficiencyUnitID : KWTON_TO_IKWKW;
  const std::string label = id >= 1 && id <= modpublic::gUnits.Count() ? modpublic::gUnits.UnitStr(id) : "";
  return label.empty() ? std::string("EER") : label;
}

std::string SystemEfficiencySymbol() {
  const long id = modpublic::gSystemEfficiencyUnitID;
  const std::string label = id >= 1 && id <= modpublic::gUnits.Count() ? modpublic::gUnits.UnitStr(id) : "";
  return label.empty() ? std::string("COP") : label;
}

std::string IPLVText(const ChillerResultData& r, int16_t efficiencyKind) {
  using modpublic::FormatUnitValue;
  if (r.fIPLV == kNoIPLV) return "n/a";
  if (r.nEfficiencyKind != 1)
    return FormatUnitValue(r.fIPLV, modpublic::gSystemEfficiencyUnitID, "0.000") + " " + SystemEfficiencySymbol();
  if (efficiencyKind == 1) {
    const double value = r.fIPLV > 0 ? 12.0 / r.fIPLV : r.fIPLV;
    return FormatUnitValue(value, modpublic::gEfficiencyUnitID, "0.00") + " " + EfficiencySymbol(1);
  }
  return FormatUnitValue(r.fIPLV, KWTON_TO_IKWKW, "0.000") + " " + EfficiencySymbol(0);
}

namespace {

// "(Wgt@100%  x  U@100%) + ... + (Wgt@25%  x  U@25%)" with op "x" or "/".
std::string Terms(const std::string& op, const std::string& symbol) {
  static const char* loads[] = {"100%", "75%", "50%", "25%"};
  std::string s;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) s += " + ";
    s += std::string("(Wgt@") + loads[i] + "  " + op + "  " + symbol + "@" + loads[i] + ")";
  }
  return s;
}

}  // namespace

std::string ElectricFormula(int16_t efficiencyKind, const std::string& symbol) {
  const std::string head = "Custom PLV " + modpublic::Parenthesize("Electric Chillers") + " = ";
  if (efficiencyKind == 1) return head + Terms("x", symbol);
  return head + "1 / [" + Terms("/", symbol) + "]";
}

std::string AbsorptionFormula() {
  return "Custom PLV " + modpublic::Parenthesize("Absorption Chillers") + " = " + Terms("x", "COP");
}

double SystemLoad(const PLVBinData& bin, int16_t efficiencyKind) {
  if (bin.fEfficiency <= 0) return 0;
  if (efficiencyKind == 1) return static_cast<double>(bin.fInput) * bin.fEfficiency / 12.0;
  return static_cast<double>(bin.fInput) / bin.fEfficiency;
}

int ChillerKind(const ChillerResultData& r) {
  if (r.nCycleType == 2 || r.nEfficiencyKind != 1) return 3;
  return r.nCondenserType == 1 ? 2 : 1;
}

std::array<IPLVExampleRow, 4> IPLVExampleRows(int kind) {
  // Condenser temperatures of the standard ratings: water-cooled and air-cooled electric
  // chillers, and absorption chillers.
  static const double water[] = {85, 75, 65, 65};
  static const double air[] = {95, 80, 65, 55};
  static const double absorption[] = {85, 78.75, 72.5, 67.25};
  static const double loads[] = {100, 75, 50, 25};
  static const double weights[] = {0.01, 0.42, 0.45, 0.12};
  static const char* letters[] = {"A", "B", "C", "D"};
  const double* cond = kind == 2 ? air : kind == 3 ? absorption : water;
  std::array<IPLVExampleRow, 4> rows{};
  for (size_t i = 0; i < 4; ++i) rows[i] = {loads[i], 44, cond[i], weights[i], letters[i]};
  return rows;
}

}  // namespace reports::plv
