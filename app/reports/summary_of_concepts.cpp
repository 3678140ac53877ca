// The "Summary of Concepts": a fixed one-column table that explains the custom part-load
// value, its formula and the program's main calculations and assumptions.
#include "app/reports/clsReport.h"
#include "app/reports/report_internal.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vberror.h"
#include "platform/db/db.h"

using reports::detail::kCrLf;

namespace {

enum class RowKind { Title, Heading, Body };

struct ConceptRow {
  RowKind kind;
  std::string text;
};

// How many rows of a table of the site database the program offers (bSelect); 0 when the
// database cannot be read.
int64_t OfferedRows(db::Database& database, const char* table) {
  auto st = database.Prepare(std::string("SELECT COUNT(*) FROM ") + table + " WHERE bSelect = True");
  return st.Step() ? st.Int(0) : 0;
}

// What the site database holds, counted from it: its cities and building types and one load
// profile for each combination. A database that cannot be read leaves the counts out of the
// text, which holds without them; the error is recorded as passed over.
std::string LoadProfileSource() {
  int64_t cities = 0, types = 0;
  try {
    auto database = db::Database::Open(modpublic::gAppPath + "RIZIRure.rev", db::OpenMode::kImmutable);
    if (database) {
      cities = OfferedRows(*database, "Cities");
      types = OfferedRows(*database, "BuildingTypes");
    }
  } catch (const std::exception& e) {
    vb::NoteIgnoredError("clsReport.GenerateSummaryOfConceptsTable: site database", e);
    cities = types = 0;
  }
  const std::string combinations =
      cities > 0 && types > 0
          ? "Kestrin's site database holds " + std::to_string(cities) + " cities and " + std::to_string(types) +
                " building types, and one load profile for each of the " + std::to_string(cities * types) +
                " combinations, modelled from the city's temperature bins and the building type's operating "
                "schedule and load shares.  "
          : "Kestrin's site database holds one load profile for each combination of city and building type offered in "
            "the program, modelled from the city's temperature bins and the building type's operating schedule "
            "and load shares.  ";
  return " 2. A building cooling load profile customized to the project location and building type.  " + combinations +
         "The profiles are normalized so they can be scaled to your project's peak building load.";
}

std::vector<ConceptRow> ConceptRows() {
  const std::vector<ConceptRow> rows = {
      {RowKind::Title, "Summary of Concepts"},
      {RowKind::Heading, "Introduction"},
      {RowKind::Body, ""},  // row 3: three runs, written on its own
      {RowKind::Heading, "What is Custom PLV?"},
      {RowKind::Body,
       "A Custom PLV is an annual performance metric that is customized to local project conditions.  "
       "It is conceptually similar to an integrated part load value (IPLV).  However, "
       "the conditions used for an IPLV are based on a standard set of data and assumptions: "
       "average US weather data, a weighted average of common building load profiles, "
       "a plant containing a single chiller, and assumptions about standard cooling tower performance.  "
       "In contrast, a CPLV considers project weather conditions, an application-specific load profile, "
       "the number of chillers, staging control, flow rates, flow controls and cooling tower performance "
       "to generate weighting factors and entering condenser water temperatures (ECWTs) that are specific "
       "to your project.  A CPLV calculated in this way is an annual performance metric customized to "
       "your project conditions and therefore a better basis for evaluating performance of products being "
       "considered for the project."},
      {RowKind::Heading, "What are Custom PLV Factors?"},
      {RowKind::Body,
       "Just like an IPLV, a CPLV is a weighted average kW/Ton (or ikW/kW) calculated from chiller performance "
       "at four load points (100%, 75%, 50%, 25% chiller load) and corresponding ECWTs, combined with "
       "four weighting factors.  Custom PLV factors are derived using the same underlying principles that "
       "were originally used to derive the weighting factors and ECWTs for an IPLV, "
       "but the derivation for CPLV uses local project conditions."},
      {RowKind::Heading, "How is a Custom PLV Calculated?"},
      {RowKind::Body,
       std::string("A CPLV is calculated with the same formula as an IPLV:") + kCrLf + std::string(10, ' ') +
           "CPLV = 1 / [ (W100/A) + (W75/B) + (W50/C) + (W25/D) ]" + kCrLf +
           "where A, B, C, D are the chiller kW/ton or ikW/kW values for the 100%, 75%, 50%, and 25% load points, "
           "calculated at the four customized ECWTs.  W100, W75, W50, and W25 are the four customized weighting "
           "factors for the 100%, 75%, 50% and 25% load points."},
      {RowKind::Heading, "Key Program Calculations and Assumptions"},
      {RowKind::Body,
       " 1. Temperature bin weather data for the project location, customized for the operating schedule of "
       "the application's building type."},
      {RowKind::Body, LoadProfileSource()},
      {RowKind::Body,
       " 3. A detailed chiller plant simulation accounting for weather, building load, and the chiller plant "
       "configuration and control."},
      {RowKind::Body, " 4. Multiple chillers in parallel.  Chillers are assumed to be of equal capacity."},
      {RowKind::Body, " 5. Chillers sequenced on load or equally unloaded."},
      {RowKind::Body, " 6. User-specified design ECWT and minimum ECWT."},
      {RowKind::Body, " 7. User-specified evaporator and condenser flow rates."},
      {RowKind::Body,
       " 8. Constant primary evaporator flow or variable primary flow.  Variable primary flow assumes turndown to "
       "40% of design flow."},
      {RowKind::Body,
       " 9. User-specified design conditions for cooling towers including design wet-bulb and approach."},
      {RowKind::Body,
       "10. A detailed thermodynamic model of cooling tower performance for accurate assessment of ECWTS "
       "for the given weather profile, load profile, and chiller plant operating conditions."},
      {RowKind::Body,
       "11. Reports listing the custom PLV factors as well as explaining chiller plant operation, and documenting "
       "the derivation of the custom weighting factors and ECWTs"},
  };
  return rows;
}

}  // namespace

bool clsReport::GenerateSummaryOfConceptsTable() {
  return modpublic::RunGuarded(ErrorSource("GenerateSummaryOfConceptsTable"), "", ui::kExclamation, [&] {
    Doc();
    constexpr int32_t kWidth = 10800;
    SetTableStart(0);
    const std::vector<ConceptRow> rows = ConceptRows();
    for (size_t i = 0; i < rows.size(); ++i) {
      const ConceptRow& r = rows[i];
      if (i == 2) {
        WriteCellDataWithThreeDifferentFonts(
            kProductName, m_FontNormal10, "TM", m_FontSuperscript,
            " calculates custom PLV factors that can be incorporated into equipment specifications "
            "and can be used to calculate custom part load value (CPLV) for chillers in a plant.  "
            "While the tool is fast and simple to use, it performs a detailed chiller plant analysis "
            "to derive the custom PLV factors.",
            m_FontNormal10, 0, kWidth, true, true, true, true, true, 1024, 0, 0, 0, 0);
        continue;
      }
      const bool header = r.kind != RowKind::Body;
      const richtext::ColorRef colour = r.kind == RowKind::Title     ? m_HeaderColor
                                        : r.kind == RowKind::Heading ? m_ShadeColor
                                                                     : m_CellColor;
      const int32_t font = r.kind == RowKind::Title     ? m_FontWhite12
                           : r.kind == RowKind::Heading ? m_FontBold12
                                                        : m_FontNormal10;
      WriteCellData(r.text, header, 0, kWidth, true, true, true, true, true, 1024, 0, colour, 1, false, font);
    }
    KeepTableTogether(GetTableStart(), false);
    ResetTableStart();
    return true;
  });
}
