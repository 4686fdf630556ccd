#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "shell/ui/main_window.h"
#include "tests/docs/manual_links.h"
#include "tests/support/temp_dir.h"

namespace ov::docs {
namespace {

namespace fs = std::filesystem;

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "\n  " + line;
  return text;
}

// The copy beside the programs of the build is the one Help opens in a build.
TEST(Manual, BuildCopyIsWhole) {
  const fs::path manual = fs::path(OVUI_BIN_DIR) / kHelpFile;
  ASSERT_TRUE(fs::is_regular_file(manual)) << manual;
  const std::vector<std::string> problems = ManualProblems(manual.parent_path());
  EXPECT_TRUE(problems.empty()) << Joined(problems);
}

// The checker itself: a small manual with one fault per row.
struct FaultRow {
  const char* name;
  const char* file;
  const char* content;
  const char* expected;  // part of the problem line
};

class ManualFault : public testing::TestWithParam<FaultRow> {};

TEST_P(ManualFault, IsReported) {
  test::TempDir dir;
  test::WriteFileBytes(dir.path() / "index.html",
                       "<a href=\"a.html\">A</a> <img src=\"p.png\" alt=\"picture\">");
  test::WriteFileBytes(dir.path() / "a.html", "<h2 id=\"here\">A</h2><a href=\"index.html\">back</a>");
  test::WriteFileBytes(dir.path() / "p.png", "png");
  ASSERT_TRUE(ManualProblems(dir.path()).empty()) << Joined(ManualProblems(dir.path()));
  test::WriteFileBytes(dir.path() / GetParam().file, GetParam().content);
  const std::vector<std::string> problems = ManualProblems(dir.path());
  EXPECT_NE(Joined(problems).find(GetParam().expected), std::string::npos)
      << "expected a problem with \"" << GetParam().expected << "\", got:" << Joined(problems);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ManualFault,
    testing::Values(
        FaultRow{"MissingPicture", "a.html", "<img src=\"images/gone.png\" alt=\"x\">", "images/gone.png is missing"},
        FaultRow{"MissingAnchor", "index.html", "<a href=\"a.html#there\">A</a>", "names no anchor"},
        FaultRow{"PageNotInContents", "b.html", "<p>lost</p>", "b.html is not linked from index.html"},
        FaultRow{"PictureWithoutAlt", "a.html", "<a href=\"index.html\">i</a><img src=\"p.png\">", "has no alt text"},
        FaultRow{"LinkOutOfTheManual", "a.html", "<a href=\"../../etc/passwd\">x</a>", "leads out of the manual"}),
    [](const testing::TestParamInfo<FaultRow>& row) { return std::string(row.param.name); });

// The install target puts the manual where Help looks for it: beside the program the OvUI
// command runs (the command is a link; the program folder is the link's target's folder).
TEST(ManualInstall, HelpFileManPagesAndCommandsAreInstalled) {
  test::TempDir dir;
  const fs::path prefix = dir.path() / "usr";
  const std::string command = std::string("\"") + OVUI_CMAKE_COMMAND + "\" --install \"" +
                              OVUI_BUILD_DIR + "\" --prefix \"" + prefix.string() + "\" >\"" +
                              (dir.path() / "install.log").string() + "\" 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << test::ReadFileBytes(dir.path() / "install.log");

  std::error_code ec;
  const fs::path programDir = fs::canonical(prefix / "bin" / "OvUI", ec).parent_path();
  ASSERT_FALSE(ec) << "bin/OvUI: " << ec.message();
  const fs::path manual = programDir / kHelpFile;
  EXPECT_TRUE(fs::is_regular_file(manual)) << manual;
  const std::vector<std::string> problems = ManualProblems(manual.parent_path());
  EXPECT_TRUE(problems.empty()) << Joined(problems);

  for (const char* page : {"OvUI.1", "ovuictl.1"}) {
    EXPECT_TRUE(fs::is_regular_file(prefix / "share/man/man1" / page)) << page;
  }
  // ovuictl reads the same program folder as the utility.
  EXPECT_EQ(fs::canonical(prefix / "bin" / "ovuictl", ec).parent_path(), programDir) << ec.message();
}

}  // namespace
}  // namespace ov::docs
