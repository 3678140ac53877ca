// "Cooling Hours Statistics": the bins grouped by chiller load into the four rating points,
// with their hours, cooling and the ECWTs the chillers see there.
#include <algorithm>
#include <cmath>
#include <limits>

#include "app/reports/clsReport.h"
#include "app/reports/plv/plv_values.h"
#include "app/reports/plv/profile_graphs.h"
#include "app/reports/report_internal.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

namespace reports::plv {

void SumBinsInLoadRange(const PLVProfileData& profile, LoadRange& range) {
  range.hours = range.tonHours = range.chillerHours = 0;
  const int bins = ProfileBins(profile);
  for (int b = 1; b <= bins; ++b) {
    const PLVBinData& bin = profile.Bins(b);
    if (!(range.low <= bin.fChillerPctLoad && bin.fChillerPctLoad < range.high)) continue;
    range.hours += bin.lHours;
    range.tonHours += bin.lLoadHours;
    range.chillerHours += static_cast<double>(bin.nChillersOn) * bin.lHours;
  }
}

EcwtStatistics CalcSystemECWTStatistics(const PLVProfileData& profile, int point) {
  EcwtStatistics s;
  s.minimum = 1000.0f;
  double sum = 0;
  int count = 0;
  const int n = ProfileChillers(profile), bins = ProfileBins(profile);
  for (int c = 1; c <= n; ++c) {
    const ChillerResultData& r = profile.ChillerResults(c);
    if (RatingPointWeighs(r.fWeightingFactor(point), r.fECWT(point))) {
      sum += r.fECWT(point);
      ++count;
    }
    for (int b = 1; b <= bins; ++b) {
      if (!(r.fPointBinTonHours(point, b) > 0)) continue;
      s.hasRange = true;
      s.minimum = std::min(s.minimum, r.fBinECWT(b));
      s.maximum = std::max(s.maximum, r.fBinECWT(b));
    }
  }
  if (count == 0) {
    s.minimum = 0;
    return s;
  }
  s.ok = true;
  s.average = static_cast<float>(sum / count);
  return s;
}

std::array<HoursStatisticsRow, 5> ChillerOperatingHoursValues(const PLVProfileData& profile) {
  // A plant that runs above its rating (load above 100 %) counts in the top row, so every bin
  // of the total lies in exactly one row and the rows add up to it.
  constexpr float kAbove = std::numeric_limits<float>::infinity();
  std::array<HoursStatisticsRow, 5> rows = {{
      {"100%", "87.5 - 100%", {87.5f, kAbove}, 0, 0, {}},
      {"75%", "62.5 - 87.5%", {62.5f, 87.5f}, 0, 0, {}},
      {"50%", "37.5 - 62.5%", {37.5f, 62.5f}, 0, 0, {}},
      {"25%", "0 - 37.5%", {0.0f, 37.5f}, 0, 0, {}},
      {"Total", "", {0.0f, kAbove}, 0, 0, {}},
  }};
  LoadRange& total = rows[4].sums;
  for (size_t i = 0; i < 4; ++i) {
    SumBinsInLoadRange(profile, rows[i].sums);
    rows[i].ecwt = CalcSystemECWTStatistics(profile, 4 - static_cast<int>(i));
    total.hours += rows[i].sums.hours;
    total.tonHours += rows[i].sums.tonHours;
    total.chillerHours += rows[i].sums.chillerHours;
  }
  for (HoursStatisticsRow& row : rows) {
    row.hoursPct = total.hours != 0 ? row.sums.hours * 100 / total.hours : 0;
    row.tonHoursPct = total.tonHours != 0 ? row.sums.tonHours * 100 / total.tonHours : 0;
  }
  return rows;
}

namespace {

// The four rows' values rounded to steps of `unit` so that they add up to the total rounded
// alike: each row rounded down, then the steps left over go to the rows that lost most.
std::array<double, 5> RoundedToTheTotal(const std::array<double, 4>& values, double unit) {
  std::array<double, 5> out{};
  double sum = 0;
  for (double v : values) sum += v;
  const long long steps = std::llround(sum / unit);
  std::array<long long, 4> down{};
  std::array<double, 4> lost{};
  long long given = 0;
  for (size_t i = 0; i < 4; ++i) {
    const double v = values[i] / unit;
    down[i] = static_cast<long long>(std::floor(v + 1e-9));
    lost[i] = v - static_cast<double>(down[i]);
    given += down[i];
  }
  for (long long left = steps - given; left > 0; --left) {
    const auto most = std::max_element(lost.begin(), lost.end());
    ++down[static_cast<size_t>(most - lost.begin())];
    *most = -1;
  }
  for (size_t i = 0; i < 4; ++i) out[i] = static_cast<double>(down[i]) * unit;
  out[4] = static_cast<double>(steps) * unit;
  return out;
}

}  // namespace

std::array<HoursStatisticsTexts, 5> HoursStatisticsFigures(const std::array<HoursStatisticsRow, 5>& rows) {
  std::array<double, 4> hours{}, hoursPct{}, cooling{}, coolingPct{};
  for (size_t i = 0; i < 4; ++i) {
    hours[i] = rows[i].sums.hours;
    hoursPct[i] = rows[i].hoursPct;
    cooling[i] = modpublic::gUnits.CnvToDevice(rows[i].sums.tonHours, TONHR_TO_KWH);
    coolingPct[i] = rows[i].tonHoursPct;
  }
  const bool anyHours = rows[4].sums.hours != 0, anyCooling = rows[4].sums.tonHours != 0;
  const auto h = RoundedToTheTotal(hours, 1), hp = RoundedToTheTotal(hoursPct, 0.1);
  const auto c = RoundedToTheTotal(cooling, 1), cp = RoundedToTheTotal(coolingPct, 0.1);
  std::array<HoursStatisticsTexts, 5> out;
  for (size_t i = 0; i < 5; ++i) {
    out[i].hours = vb::Format(h[i], "###,###,###,##0");
    out[i].hoursPct = vb::Format(anyHours ? hp[i] : 0, "0.0");
    out[i].cooling = vb::Format(c[i], "###,###,###,##0");
    out[i].coolingPct = vb::Format(anyCooling ? cp[i] : 0, "0.0");
  }
  return out;
}

}  // namespace reports::plv

using namespace reports::plv;

bool clsReport::ChillerOperatingHoursStatistics(int32_t& table) {
  return modpublic::RunGuarded(ErrorSource("ChillerOperatingHoursStatistics"), "", ui::kExclamation,
                               [&] { return WriteOperatingHoursStatistics(table); });
}

bool clsReport::WriteOperatingHoursStatistics(int32_t& table) {
  Doc();
  const bool si = modpublic::gUnits.CurrentUnitOfMeasure() != nENGLISH;
  const auto rows = ChillerOperatingHoursValues(*m_PLVProfile);
  const auto figures = HoursStatisticsFigures(rows);
  SetTableStart(0);
  ++table;
  if (!WriteSectionTitle(vb::CStr(table) + ".  Cooling Hours Statistics")) return false;

  struct Column {
    std::string header;
    int32_t width;
  };
  const std::array<Column, 8> columns = {{
      {"IPLV Point (%)", 1250},
      {"Range of Chiller Load", 1500},
      {"Total Cooling Hours per Year", 1250},
      {"% of Total Cooling Hours", 1250},
      {si ? "Total Cooling kWh per Year" : "Total Cooling Ton-Hours per Year", 1500},
      {si ? "% of Total Cooling kWh" : "% of Total Cooling Ton-Hours", 1250},
      {modpublic::AddUnitLabel("Average ECWT", F_TO_C, true), 1250},
      {modpublic::AddUnitLabel("ECWT Variation Range", F_TO_C, true), 1250},
  }};
  for (size_t c = 0; c < columns.size(); ++c)
    WriteTableColHeaderData(columns[c].header, static_cast<int32_t>(c), columns[c].width, c + 1 == columns.size(), true,
                            true, true, true, 1);

  for (size_t i = 0; i < rows.size(); ++i) {
    const HoursStatisticsRow& row = rows[i];
    const bool total = i == 4;
    const int32_t shading = total ? 20 : 0;
    std::array<std::string, 8> cells = {
        row.point, row.range, figures[i].hours, figures[i].hoursPct, figures[i].cooling, figures[i].coolingPct, "", "",
    };
    if (!total) {
      if (row.ecwt.ok) {
        cells[6] = modpublic::FormatUnitValue(row.ecwt.average, F_TO_C, "0.0");
        // A point that no bin counts toward has no range.
        cells[7] = row.ecwt.hasRange ? modpublic::FormatUnitValue(row.ecwt.minimum, F_TO_C, "0.0") + " - " +
                                           modpublic::FormatUnitValue(row.ecwt.maximum, F_TO_C, "0.0")
                                     : "n/a";
      } else {
        cells[6] = cells[7] = "n/a";
      }
    }
    for (size_t c = 0; c < cells.size(); ++c)
      WriteCellData(cells[c], false, static_cast<int32_t>(c), columns[c].width, c + 1 == cells.size(), true, true, true,
                    true, 1, shading, 0, 1, total);
  }

  if (m_PLVProfile->nHeatRecoveryMode == 2)
    WriteCellData(
        "Note: For this heat recovery plant, the custom PLV analysis only evaluates the performance of "
        "the cooling-only chillers and the portion of the building load served by these chillers.  "
        "Performance of the dedicated heat recovery chiller and the cooling it provides is not included "
        "in the calculation of custom PLV",
        false, 0, 10500, true, false, false, false, false, 1);
  KeepTableTogether(GetTableStart(), true);
  ResetTableStart();
  return true;
}
