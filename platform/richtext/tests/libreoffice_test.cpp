// The RTF we write as another word processor lays it out: LibreOffice (installed by
// scripts/setup.sh) converts our files to PDF, and its pages must be ours, page for page in
// number and orientation; an RTF that LibreOffice saved from ours reads back with its pictures.
//
// LibreOffice 7.4 does not repeat table header rows (\trhdr), not even in a minimal file, while
// our paginator does. The documents compared here therefore have no header rows: everything
// else (frames, pictures, row and line heights, page breaks, sections, headers and footers)
// must agree.
#include <QStandardPaths>

#include <fstream>
#include <regex>
#include <sstream>

#include "examples/richtext/sample_document.h"
#include "platform/richtext/layout.h"
#include "platform/richtext/rtf.h"
#include "platform/richtext/tests/report_builder.h"

namespace richtext::test {
namespace {

std::string Tool(const char* name) { return QStandardPaths::findExecutable(name).toStdString(); }

// Converts files of `dir` to `format` into `dir`/`out` in one LibreOffice run, with a
// profile of its own (so parallel runs do not share one) and a time limit.
void Convert(const QTemporaryDir& dir, const std::vector<std::string>& files, const std::string& format,
             const std::string& out) {
  const std::string soffice = Tool("soffice");
  ASSERT_FALSE(soffice.empty()) << "LibreOffice is not installed (scripts/setup.sh installs it)";
  // HOME in the temporary folder too: LibreOffice's helpers write caches and settings there.
  std::string cmd = "cd '" + dir.path().toStdString() + "' && HOME='" + dir.path().toStdString() + "' timeout 240 '" +
                    soffice + "' -env:UserInstallation=file://" + dir.filePath("lo-profile").toStdString() +
                    " --headless --convert-to " + format + " --outdir " + out;
  for (const auto& f : files) cmd += " " + f;
  cmd += " 2>&1";
  const std::string log = RunCommand(cmd);
  for (const auto& f : files) {
    const std::string converted = f.substr(0, f.rfind('.')) + "." + format;
    ASSERT_TRUE(QFile::exists(dir.filePath(QString::fromStdString(out + "/" + converted)))) << converted << "\n" << log;
  }
}

// The orientation of every page of a PDF ("Page    3 size: 792 x 612 pts (letter)").
std::vector<bool> PdfLandscape(const std::string& pdf) {
  const std::string info = RunCommand("'" + Tool("pdfinfo") + "' -f 1 -l 9999 '" + pdf + "'");
  std::vector<bool> landscape;
  const std::regex pageSize("Page\\s+\\d+\\s+size:\\s+([\\d.]+) x ([\\d.]+)");
  for (auto it = std::sregex_iterator(info.begin(), info.end(), pageSize); it != std::sregex_iterator(); ++it)
    landscape.push_back(std::stod((*it)[1]) > std::stod((*it)[2]));
  return landscape;
}

std::vector<bool> OurLandscape(const Document& doc) {
  std::vector<bool> out;
  for (const auto& page : Paginate(doc).pages) out.push_back(page.landscape());
  return out;
}

void WithoutHeaderRows(Document& doc) {
  for (auto& s : doc.sections)
    for (auto& b : s.blocks)
      if (auto* t = std::get_if<Table>(&b))
        for (auto& r : t->rows) r.header = false;
}

// The example's sample document with `chapters` data chapters, on US Letter.
Document SampleDocument(int chapters) {
  const TerHwnd h = TerCreateWindow();
  TerEditor(h)->paper = {12240, 15840};
  sample::BuildSampleDocument(h, chapters);
  Document doc = TerEditor(h)->doc;
  TerDestroyWindow(h);
  return doc;
}

void Save(const Document& doc, const std::string& path) {
  std::ofstream f(path, std::ios::binary);
  ASSERT_TRUE(WriteRtf(doc, f));
}

// Every picture of a document (inline or in a frame, body, cells, headers and footers).
std::vector<std::shared_ptr<const Picture>> PicturesOf(const Document& doc) {
  std::vector<std::shared_ptr<const Picture>> out;
  auto para = [&](const Paragraph& p) {
    for (const auto& r : p.runs)
      if (r.picture) out.push_back(r.picture);
    for (const auto& f : p.frames)
      if (f.picture) out.push_back(f.picture);
  };
  for (const auto& s : doc.sections) {
    for (const auto* hf : {&s.fmt.header, &s.fmt.footer})
      if (*hf)
        for (const auto& p : (*hf)->paragraphs) para(p);
    for (const auto& b : s.blocks) {
      if (const auto* p = std::get_if<Paragraph>(&b)) para(*p);
      if (const auto* t = std::get_if<Table>(&b))
        for (const auto& r : t->rows)
          for (const auto& c : r.cells)
            for (const auto& p : c.paragraphs) para(p);
    }
  }
  return out;
}

class LibreOffice : public ReportCalls {};

TEST_F(LibreOffice, LaysOutOurRtfOnTheSamePages) {
  buildReport(TestSubReports());
  struct Case {
    std::string name;
    Document doc;
  };
  std::vector<Case> cases = {{"example2", SampleDocument(2)},
                             {"example3", SampleDocument(3)},
                             {"example14", SampleDocument(14)},
                             {"report", ed().doc}};
  std::vector<std::string> files;
  for (auto& c : cases) {
    WithoutHeaderRows(c.doc);
    files.push_back(c.name + ".rtf");
    Save(c.doc, scratch(files.back()));
  }
  Convert(dir, files, "pdf", "lo");

  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<bool> ours = OurLandscape(c.doc);
    const std::vector<bool> theirs = PdfLandscape(scratch("lo/" + c.name + ".pdf"));
    EXPECT_EQ(theirs.size(), ours.size()) << "pages";
    EXPECT_EQ(theirs, ours) << "orientation of each page (true: landscape)";
    EXPECT_TRUE(std::count(ours.begin(), ours.end(), true) > 0) << "a landscape section is compared";
  }

  // The landscape sub-report's header and page number are where ours are.
  const std::vector<bool> report = OurLandscape(cases.back().doc);
  const std::string page = std::to_string(std::find(report.begin(), report.end(), true) - report.begin() + 1);
  const std::string text =
      RunCommand("'" + Tool("pdftotext") + "' -f " + page + " -l " + page + " '" + scratch("lo/report.pdf") + "' -");
  EXPECT_NE(text.find("Custom PLV Worksheet"), std::string::npos) << text;
  EXPECT_NE(text.find("Page " + page), std::string::npos) << text;
}

// LibreOffice saves pictures inside drawing shapes. Read back, the file keeps the logo and the
// graphs at their sizes, and the PDF written from it shows them.
TEST_F(LibreOffice, RtfItSavedKeepsOurPictures) {
  const Document doc = SampleDocument(2);
  Save(doc, scratch("example.rtf"));
  Convert(dir, {"example.rtf"}, "rtf", "lo");

  const TerHwnd back = TerCreateWindow();
  ASSERT_EQ(ReadTerFile(back, scratch("lo/example.rtf")), 1);
  const auto theirs = PicturesOf(TerEditor(back)->doc);
  const auto ours = PicturesOf(doc);
  ASSERT_EQ(ours.size(), 3u) << "the logo and two graphs";
  ASSERT_EQ(theirs.size(), ours.size());
  for (size_t i = 0; i < ours.size(); ++i) {
    SCOPED_TRACE(i);
    // Sizes agree within a twip (LibreOffice keeps them in hundredths of a millimetre).
    EXPECT_NEAR(theirs[i]->width, ours[i]->width, 2);
    EXPECT_NEAR(theirs[i]->height, ours[i]->height, 2);
    EXPECT_GT(theirs[i]->pixelWidth, 0);
  }

  int32_t job = 0;
  const std::string pdf = scratch("back.pdf");
  const int32_t handle = TerPdfStart(pdf, job, "test", "", "test", "", "");
  ASSERT_NE(handle, 0);
  ASSERT_NE(TerPdfPrintPage(back, job, -1), 0);
  ASSERT_NE(TerPdfEnd(handle, job), 0);
  TerDestroyWindow(back);
  // pdfimages lists one line per image drawn, after two header lines.
  const std::string list = RunCommand("'" + Tool("pdfimages") + "' -list '" + pdf + "'");
  const auto images = std::count(list.begin(), list.end(), '\n') - 2;
  EXPECT_EQ(images, static_cast<long>(ours.size())) << list;
}

}  // namespace
}  // namespace richtext::test
