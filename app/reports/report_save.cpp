// Saving the document as RTF or PDF. The PDF is painted from the laid-out pages straight
// into the target file: no intermediate RTF is written, so nothing beside the PDF is touched.
#include <cerrno>
#include <ctime>
#include <filesystem>

#include "app/reports/clsReport.h"
#include "app/reports/report_internal.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/savefile/save_file.h"

using namespace richtext;
using reports::detail::kCrLf;

namespace {

constexpr const char* kSaveTitle = "clsReport.SaveReportAsFile()";

// What keeps a report from its folder, and what the user can do about it: the program folder
// (never written), a disk with no room left for it, or a folder that cannot be written to (a
// read-only disk, no permission, no such folder). `why` is the save's own reason, whose last
// words are the system's.
std::string FolderProblem(const std::string& target, const std::string& why) {
  const std::string folder = std::filesystem::path(target).parent_path().string();
  const auto because = [&why](int err) { return savefile::FailedBecause(why, err); };
  constexpr const char* kElsewhere = "save the report from the viewer with Save as RTF or Save as PDF.";
  if (savefile::InProtectedFolder(target))
    return savefile::ProgramFolderRefusal("The folder " + folder, modpublic::gAppPath) +
           ": nothing is saved there. Save the project in a folder of your own (File > Save As), or " + kElsewhere;
  const bool full = because(ENOSPC) || because(EDQUOT);
  if (full || because(EFBIG))  // EFBIG: a file larger than the disk (or its owner's limit) takes
    return "The disk of the folder " + folder + (full ? " is full." : " has no room for a file this large.") +
           " Make room on it, save the project in a folder on another disk (File > Save As), or save the report on "
           "another disk from the viewer with Save as RTF or Save as PDF.";
  return "The folder " + folder +
         " cannot be written to. Reports are saved in the project's folder: save the project in a folder you can "
         "write to (File > Save As), or " +
         kElsewhere;
}

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
  // A file that cannot be written names its folder, what keeps it from there (the program
  // folder, a full disk, a folder that cannot be written to), how to choose another one and the
  // save's reason, which is read when the message is shown.
  auto fileFailed = [&target] {
    const std::string why = TerLastSaveError();
    return std::string("Error saving report as file:") + kCrLf + kCrLf + target + kCrLf + kCrLf +
           FolderProblem(target, why) + (why.empty() ? std::string() : std::string(kCrLf) + kCrLf + why);
  };
  const std::string engineFailed = std::string("Error saving report as file:") + kCrLf +
                                   "Failed to start the wPDF Engine. Please check that the plugin is available.";
  auto fail = [](const std::string& message) {
    modpublic::ShowError(message, ui::kExclamation, kSaveTitle);
    return false;
  };
  if (TerEditor(m_TerHwnd) == nullptr) return fail(fileFailed());
  switch (WriteDocumentFile(target, format)) {
    case DocumentWrite::kWritten:
      return true;
    case DocumentWrite::kPdfFailed:
      return fail(engineFailed);
    case DocumentWrite::kFileFailed:
      break;
  }
  return fail(fileFailed());
}

clsReport::DocumentWrite clsReport::WriteDocumentFile(const std::string& target, const std::string& format) {
  if (format != "pdf")
    return SaveTerFile(m_TerHwnd, target) == 1 ? DocumentWrite::kWritten : DocumentWrite::kFileFailed;
  int32_t job = 0;
  const std::string now = IsoNow();
  const int32_t pdf = TerPdfStart(target, job, vb::Trim(modDataIO::gSettings.UserName), "",
                                  Reportinfo(m_CurrentReportID).Title, now, now);
  if (pdf == 0) return DocumentWrite::kPdfFailed;
  if (TerPdfPrintPage(m_TerHwnd, job, -1) == 0) {
    TerPdfEnd(pdf, job);  // releases the job
    return DocumentWrite::kPdfFailed;
  }
  // The file itself is written here: a folder that cannot take it is a file error.
  return TerPdfEnd(pdf, job) == 1 ? DocumentWrite::kWritten : DocumentWrite::kFileFailed;
}
