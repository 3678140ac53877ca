#include "app/reports/economics/econ_tables.h"

#include "app/reports/clsReport.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "libs/vb/vberror.h"
#include "platform/richtext/ter.h"

namespace reports::econ {

std::string Whole(double value) { return vb::Format(value, kWhole); }

int CheckedSystemCount(int16_t n) {
  if (n < 0 || n > 4)
    vb::Raise(vb::kSubscriptOutOfRange,
              "The results hold " + std::to_string(n) + " alternatives; 0 to 4 can be compared.");
  return n;
}

int CheckedSystem(int16_t index, int nSystems, const char* what) {
  if (index < 1 || index > nSystems)
    vb::Raise(vb::kSubscriptOutOfRange, std::string(what) + " " + std::to_string(index) + " is not one of the " +
                                            std::to_string(nSystems) + " alternatives.");
  return index;
}

bool WriteGrid(clsReport& report, const Grid& grid) {
  for (const Row& row : grid)
    for (size_t c = 0; c < row.size(); ++c) {
      const Cell& cell = row[c];
      if (!report.WriteCellData(cell.text, cell.header, static_cast<int32_t>(c), cell.width, c + 1 == row.size(), true,
                                true, true, true, cell.align, 0, 0, 1, cell.bold))
        return false;
    }
  return true;
}

bool WriteLeadText(clsReport& report) {
  const std::string lead = modpublic::TrimNull(report.Options().LeadText);
  if (lead.empty()) return true;
  report.MoveToDocEnd();
  if (!report.InsertSelectedText(lead)) return false;
  const richtext::TerHwnd h = report.TerHwnd();
  richtext::SetTerParaFmt(h, richtext::kParaCenter | 0x20, true, false);
  richtext::DeselectTerText(h, false);
  report.MoveToDocEnd();
  // The lead text keeps a paragraph of its own: what follows is appended after it.
  richtext::InsertTerText(h, "\x15", false);
  report.MoveToDocEnd();
  return true;
}

bool WriteNumberedTable(clsReport& report, int32_t& section, const std::string& heading, const Grid& grid,
                        const std::string& emptyNotice, const std::string& after) {
  report.SetTableStart(0);
  ++section;
  if (!report.WriteTextLine(std::to_string(section) + ".  " + heading, true)) return false;
  if (grid.empty()) {
    if (!report.WriteTextLine(emptyNotice)) return false;
  } else if (!WriteGrid(report, grid) || !report.KeepTableTogether(report.GetTableStart(), true)) {
    return false;
  }
  report.ResetTableStart();
  return report.WriteTextLine(after);
}

bool WriteDetailTable(clsReport& report, int alternative, const std::string& leadWords, const std::string& systemName,
                      const Grid& grid, bool spacerFirst, bool keep) {
  if (spacerFirst && !report.WriteTextLine("\x0f")) return false;
  report.SetTableStart(0);
  if (!spacerFirst && !report.WriteTextLine("")) return false;
  const std::string title = std::to_string(alternative) + ".  " + leadWords + " " + modpublic::BracketName(systemName);
  if (!report.WriteTextLine(title, true) || !WriteGrid(report, grid)) return false;
  if (keep) {
    if (!report.KeepTableTogether(report.GetTableStart(), true)) return false;
  } else if (!report.WriteTextLine("")) {
    return false;
  }
  report.ResetTableStart();
  return true;
}

}  // namespace reports::econ
