#include <gtest/gtest.h>

#include <QApplication>
#include <QStringList>
#include <set>
#include <string>

#include "lang/language_table.h"
#include "shell/ovui_pages.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "tests/layoutfit/text_fit.h"
#include "tests/shellui/page_window_fixture.h"

// Every page and lower panel registered for the program, in the real main window with each
// shipped language file: no label, button or tab shows its text cut, in either layout. German
// texts are the longest; a page that only fits English fails here, naming the control.
namespace ov {
namespace {

struct LayoutCase {
  const char* name;
  const char* languageFile;
  bool smallScreen;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class TranslatedLayout : public test::PageWindowFixture<>,
                         public ::testing::WithParamInterface<LayoutCase> {
 protected:
  void SetUp() override {
    InstallLanguageTable(ReadLanguageFile(std::string(OVUI_SOURCE_DIR "/data/Languages/") +
                                          GetParam().languageFile));
    ASSERT_FALSE(LangText(IDS_OK).empty()) << "language file not read";
    state.SmallScreen = GetParam().smallScreen;
    state.Expanded = true;
    RegisterProgramPages(registry);
  }

  void TearDown() override { InstallLanguageTable(LanguageTable{}); }

  // Records the cuts the window shows now, once each.
  void Collect(const char* where) {
    for (const test::CutText& cut : test::CutTexts(window.get(), window->Body())) {
      cuts_.insert(std::string(where) + ": " + cut.Describe().toStdString());
    }
  }

  std::set<std::string> cuts_;
};

TEST_P(TranslatedLayout, NoPageOrPanelShowsACutText) {
  window = MakeWindow();
  ASSERT_TRUE(window->Initialised());
  QApplication::processEvents();
  Collect("main window");

  int pagesSeen = 0;
  for (const TabButtonEntry& entry : TabButtons()) {
    if (window->Page(entry.button) == nullptr || !window->BarLayout().Offered(entry.button)) continue;
    window->ShowPage(entry.button);
    QApplication::processEvents();
    ++pagesSeen;
    test::VisitEverySubPage(window->Page(entry.button), [&] { Collect(entry.pageClass); });
  }
  EXPECT_GT(pagesSeen, 0) << "no page of the program was offered";

  int panelsSeen = 0;
  for (const LowerPanelEntry& panel : LowerPanels()) {
    if (window->LowerPanel(panel.panel) == nullptr) continue;
    window->ShowLowerPanel(panel.panel);
    QApplication::processEvents();
    ++panelsSeen;
    test::VisitEverySubPage(window->LowerPanel(panel.panel), [&] { Collect(panel.panelClass); });
  }
  EXPECT_GT(panelsSeen, 0) << "no lower panel of the program was made";

  std::string listed;
  for (const std::string& cut : cuts_) listed += "\n  " + cut;
  EXPECT_TRUE(cuts_.empty()) << cuts_.size() << " cut texts:" << listed;
}

INSTANTIATE_TEST_SUITE_P(
    Languages, TranslatedLayout,
    ::testing::Values(LayoutCase{"German", "Lang0407.ini", false},
                      LayoutCase{"GermanSmallScreen", "Lang0407.ini", true},
                      LayoutCase{"Chinese", "Lang0804.ini", false},
                      LayoutCase{"ChineseSmallScreen", "Lang0804.ini", true},
                      LayoutCase{"English", "Lang0409.ini", false},
                      LayoutCase{"EnglishSmallScreen", "Lang0409.ini", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ov
