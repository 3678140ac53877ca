// The help page against what the program writes: the error report's note points at a quick link
// the page must hold, and every error number the calculation can write to ERR.DAT must be
// explained there. The section is rendered for a look.
#include <QCoreApplication>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "app/program/tests/main_fixture.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The program's sources folder (app/, above app/program/tests); the compiler names this file relative to the build
// folder, the parent of the program folder.
fs::path SourceRoot() {
  const fs::path self(__FILE__);
  const fs::path file = self.is_absolute() ? self : fs::path(KESTRIN_PROGRAM_DIR).parent_path() / self;
  return file.parent_path().parent_path().parent_path();
}
const fs::path kSourceRoot = SourceRoot();

std::set<std::string> ErrorNumbersWritten() {
  const std::string code = Slurp(kSourceRoot / "calc" / "input_check.cpp");
  std::set<std::string> numbers;
  const std::regex error("\"(?:System: )?Error ([0-9]+):");
  for (auto it = std::sregex_iterator(code.begin(), code.end(), error); it != std::sregex_iterator(); ++it)
    numbers.insert((*it)[1]);
  return numbers;
}

TEST(HelpPage, HoldsTheErrorReportsQuickLinkAndExplainsEveryErrorNumber) {
  const std::string page = Slurp(fs::path(KESTRIN_PROGRAM_DIR) / "VEXON.html");
  ASSERT_FALSE(page.empty());
  // The note the error report writes names the link by its text.
  const std::string code = Slurp(kSourceRoot / "calc" / "input_check.cpp");
  ASSERT_FALSE(code.empty()) << kSourceRoot;
  std::smatch note;
  ASSERT_TRUE(std::regex_search(code, note, std::regex("Then click '([^']+)'")));
  EXPECT_NE(page.find("<a href=\"#calcerrors\">" + note[1].str() + "</a>"), std::string::npos) << note[1];
  const std::size_t section = page.find("<h2 id=\"calcerrors\">");
  ASSERT_NE(section, std::string::npos);
  // The link is on the viewer's topic, where the error report's Help opens.
  const std::size_t viewer = page.find("<h2 id=\"ctx31020\">");
  ASSERT_NE(viewer, std::string::npos);
  EXPECT_LT(page.find("#calcerrors", viewer), section);

  const std::set<std::string> numbers = ErrorNumbersWritten();
  ASSERT_GE(numbers.size(), 13u);  // 101-104, 106-110, 201-203, 301
  for (const std::string& n : numbers) {
    const std::size_t row = page.find("<tr id=\"err" + n + "\"><td>Error " + n + "</td>", section);
    EXPECT_NE(row, std::string::npos) << "Error " << n << " is not explained";
  }
}

TEST(HelpPage, ErrorSectionRendersForALook) {
  EnsureApp();
  QTextBrowser browser;
  browser.resize(820, 900);
  browser.setSource(QUrl::fromLocalFile(QString::fromUtf8(KESTRIN_PROGRAM_DIR "/VEXON.html")));
  browser.show();  // offscreen: laid out, not seen
  QCoreApplication::processEvents();
  browser.scrollToAnchor(QStringLiteral("calcerrors"));
  ASSERT_GT(browser.verticalScrollBar()->value(), 0);
  const QPixmap picture = browser.grab();
  const fs::path folder = fs::path(KESTRIN_PROGRAM_DIR).parent_path() / "renders";
  fs::create_directories(folder);
  EXPECT_TRUE(picture.save(QString::fromStdString((folder / "help_error_messages.png").string())));
}

}  // namespace
