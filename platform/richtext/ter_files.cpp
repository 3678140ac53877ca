// Reading and saving the document of a handle as RTF.
#include <QFile>

#include <sstream>

#include "platform/richtext/rtf.h"
#include "platform/savefile/save_file.h"
#include "platform/richtext/ter.h"
#include "platform/richtext/ter_internal.h"

namespace richtext {

namespace {

// The document written as RTF (as a saved file holds it); false when it cannot be written.
bool RtfOf(Editor& e, std::string& rtf) {
  std::ostringstream out;
  if (!WriteRtf(e.doc, out, e.rtfPictures())) return false;
  rtf = out.str();
  return true;
}

// Replaces the editor's document with the one read from RTF text; 0 (document untouched)
// when the text is no RTF that can be read.
int32_t InstallRtf(Editor& e, std::string_view rtf) {
  Document doc;
  if (!ReadRtf(rtf, doc)) return 0;
  if (doc.sections.empty()) doc.sections.emplace_back();
  if (doc.fonts.empty()) doc.fonts.emplace_back();
  if (doc.paraStyles.empty()) doc.paraStyles.emplace_back();
  detail::EnsureOpenParagraph(doc);
  e.doc = std::move(doc);
  e.story = {};
  e.inheritedHdrFtr.clear();
  e.hasSelection = false;
  e.caretLine = e.caretCol = 0;
  e.currentPage = 1;
  e.changed();
  if (e.view) e.view->documentChanged();
  return 1;
}

}  // namespace

int32_t ReadTerFile(TerHwnd h, const std::string& path) {
  Editor* e = TerEditor(h);
  if (!e) return 0;
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return 0;
  const QByteArray bytes = file.readAll();
  return InstallRtf(*e, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

int32_t TerReloadAsRtf(TerHwnd h) {
  Editor* e = TerEditor(h);
  std::string rtf;
  if (!e || !RtfOf(*e, rtf)) return 0;
  return InstallRtf(*e, rtf);
}

int32_t SaveTerFile(TerHwnd h, const std::string& path) {
  Editor* e = TerEditor(h);
  detail::LastSaveError().clear();
  std::string rtf;
  if (!e || path.empty() || !RtfOf(*e, rtf)) return 0;
  return detail::SaveFileBytes(path, rtf) ? 1 : 0;
}

namespace detail {

std::string& LastSaveError() {
  static thread_local std::string error;
  return error;
}

bool SaveFileBytes(const std::string& path, std::string_view bytes) {
  return savefile::SaveWhole(path, bytes, &LastSaveError()) ? (LastSaveError().clear(), true) : false;
}

}  // namespace detail

std::string TerLastSaveError() { return detail::LastSaveError(); }

}  // namespace richtext
