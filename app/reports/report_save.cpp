// Saving the document as RTF or PDF. The PDF is painted from the laid-out pages straight
// into the target file: no intermediate RTF is written, so nothing beside the PDF is touched.
#include <ctime>
#include <filesystem>

#include "app/reports/clsReport.h"
#include "app/reports/report_internal.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

using namespace richtext;
using reports::detail::kCrLf;

namespace {

constexpr const char* kSaveTitle = "clsReport.SaveReportAsFile()";

std::string IsoNow() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &tm);
  return buf;
}

}  // namespace

bool clsReport::SaveReportAsFile(const std::string& fileName, const std::string& format) {
  const std::string target = vb::Trim(fileName).empty() ? WorkingPath("Rpt-RPT." + format) : fileName;
  // A file that cannot be written names its folder, how to choose another one and the
  // reason (a full disk, a read-only folder), which is read when the message is shown.
  auto fileFailed = [&target] {
    const std::string why = TerLastSaveError();
    return std::string("Error saving report as file:") + kCrLf + kCrLf + target + kCrLf + kCrLf + "The folder " +
           std::filesystem::path(target).parent_path().string() +
           " cannot be written to. Reports are saved in the project's folder: save the project in a folder you "
           "can write to (File > Save As), or save the report from the viewer with Save as RTF or Save as PDF." +
           (why.empty() ? std::string() : std::string(kCrLf) + kCrLf + why);
  };
  const std::string engineFailed = std::string("Error saving report as file:") + kCrLf +
                                   "Failed to start the wPDF Engine. Please check that the plugin is available.";
  auto fail = [](const std::string& message) {
    modpublic::ShowError(message, ui::kExclamation, kSaveTitle);
    return false;
  };
  if (TerEditor(m_TerHwnd) == nullptr) return fail(fileFailed());

  if (format != "pdf") {
    if (SaveTerFile(m_TerHwnd, target) != 1) return fail(fileFailed());
    return true;
  }
  int32_t job = 0;
  const std::string now = IsoNow();
  const int32_t pdf = TerPdfStart(target, job, vb::Trim(modDataIO::gSettings.UserName), "",
                                  Reportinfo(m_CurrentReportID).Title, now, now);
  if (pdf == 0) return fail(engineFailed);
  if (TerPdfPrintPage(m_TerHwnd, job, -1) == 0) {
    TerPdfEnd(pdf, job);  // releases the job
    return fail(engineFailed);
  }
  // The file itself is written here: a folder that cannot take it is a file error.
  if (TerPdfEnd(pdf, job) == 0) return fail(fileFailed());
  return true;
}
