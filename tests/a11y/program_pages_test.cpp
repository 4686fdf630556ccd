#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QStringList>
#include <string>

#include "lang/language_table.h"
#include "shell/ovui_pages.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "tests/shellui/page_window_fixture.h"
#include "widgets/accessibility.h"
#include "widgets/bar_button.h"

// The program's own pages and panels in the real main window, with the shipped English texts:
// a page added to the program that shows a control without a name fails here, naming it.
namespace ov {
namespace {

struct Layout {
  const char* name;
  bool smallScreen;
};

class ProgramPagesTest : public test::PageWindowFixture<>,
                         public ::testing::WithParamInterface<Layout> {
 protected:
  void SetUp() override {
    InstallLanguageTable(ReadLanguageFile(OVUI_SOURCE_DIR "/data/Languages/Lang0409.ini"));
    state.SmallScreen = GetParam().smallScreen;
    state.Expanded = true;
    host.ssoInstalled = true;  // every page of the bar is offered
    RegisterProgramPages(registry);
  }

  static std::string Listed(const std::vector<QString>& names) {
    return QStringList(names.begin(), names.end()).join(QLatin1String("\n  ")).toStdString();
  }
};

TEST_P(ProgramPagesTest, EveryShownControlOfEveryPageAndPanelHasAName) {
  window = MakeWindow();
  ASSERT_TRUE(window->Initialised());
  int pagesSeen = 0;
  for (const TabButtonEntry& entry : TabButtons()) {
    if (window->Page(entry.button) == nullptr || !window->BarLayout().Offered(entry.button)) continue;
    window->ShowPage(entry.button);
    QApplication::processEvents();
    ++pagesSeen;
    const std::vector<QString> unnamed = UnnamedControls(window.get());
    EXPECT_TRUE(unnamed.empty()) << "page " << entry.pageClass << ", unnamed:\n  " << Listed(unnamed);
  }
  EXPECT_GT(pagesSeen, 0) << "no page of the program was offered";

  for (const LowerPanelEntry& panel : LowerPanels()) {
    if (window->LowerPanel(panel.panel) == nullptr) continue;
    window->ShowLowerPanel(panel.panel);
    QApplication::processEvents();
    const std::vector<QString> unnamed = UnnamedControls(window.get());
    EXPECT_TRUE(unnamed.empty()) << "panel " << panel.panelClass << ", unnamed:\n  " << Listed(unnamed);
  }
}

// The check itself must see an unnamed control: an icon-only button with neither text nor
// tooltip on a shown page.
TEST_P(ProgramPagesTest, AnUnnamedControlOnAPageIsReportedByItsPath) {
  window = MakeWindow();
  window->ShowPage(TabButton::About);
  QWidget* page = window->Page(TabButton::About);
  ASSERT_NE(page, nullptr);
  auto* bare = new BarButton(page);
  bare->setObjectName(QStringLiteral("bare"));
  bare->setFace(QString(), QIcon());
  bare->show();
  const std::vector<QString> unnamed = UnnamedControls(window.get());
  ASSERT_EQ(unnamed.size(), 1u) << Listed(unnamed);
  EXPECT_TRUE(unnamed[0].endsWith(QLatin1String("/bare (Button)"))) << unnamed[0].toStdString();
}

INSTANTIATE_TEST_SUITE_P(Layouts, ProgramPagesTest,
                         ::testing::Values(Layout{"captioned", false}, Layout{"small_screen", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ov
