// Every registered page and panel in the real main window when the adapter is the wireless
// service's own interface (no vendor driver): those that need the driver stand in with the
// "not available with this adapter" text, the rest are made and run against a driver that
// answers nothing, without crashing or waiting.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>

#include "lang/language_table.h"
#include "shell/ovui_pages.h"
#include "shell/service_interface_adapter.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"
#include "tests/shellui/page_window_fixture.h"

namespace ov {
namespace {

constexpr char kNotAvailable[] = "NotAvailableWithAdapter";

bool IsPlaceholder(const QWidget* w) { return w && w->objectName() == QLatin1String(kNotAvailable); }

class NoVendorDriverPagesTest : public test::PageWindowFixture<> {
 protected:
  void SetUp() override {
    InstallLanguageTable(ReadLanguageFile(OVUI_SOURCE_DIR "/data/Languages/Lang0409.ini"));
    state.Expanded = true;
    state.Adapter.description = "wlan0";
    RegisterProgramPages(registry);
    options.services.driver = &noDriver;
  }

  // Shows it and lets its timers run for a while on the virtual clock.
  void Exercise(const std::function<void()>& show) {
    show();
    for (int i = 0; i < 5; ++i) {
      clock.advance(1000);
      QApplication::processEvents();
    }
  }

  NoDriverOids noDriver;
};

TEST_F(NoVendorDriverPagesTest, DriverPagesAndPanelsSayNotAvailableTheOthersWork) {
  state.Adapter.noVendorDriver = true;
  window = MakeWindow();
  ASSERT_TRUE(window->Initialised());
  const TabButton working[] = {TabButton::Profile, TabButton::SiteSurvey, TabButton::About};
  int placeholders = 0, pages = 0;
  for (const TabButtonEntry& entry : TabButtons()) {
    QWidget* page = window->Page(entry.button);
    if (page == nullptr) continue;
    ++pages;
    Exercise([&] { window->ShowPage(entry.button); });
    const bool works = std::find(std::begin(working), std::end(working), entry.button) != std::end(working);
    EXPECT_EQ(IsPlaceholder(page), !works) << entry.pageClass;
    if (IsPlaceholder(page)) {
      ++placeholders;
      const auto* text = page->findChild<QLabel*>();
      ASSERT_NE(text, nullptr) << entry.pageClass;
      EXPECT_EQ(text->text(), UiText(IDS_NOT_AVAILABLE_ADAPTER)) << entry.pageClass;
      EXPECT_EQ(text->text(), QStringLiteral("Not available with this adapter."));
      EXPECT_TRUE(text->isVisible()) << entry.pageClass;
    }
  }
  EXPECT_GT(pages, placeholders) << "the profile, survey and about pages are real";
  EXPECT_GT(placeholders, 0) << "the driver's pages stand in";

  const int workingPanels[] = {LOWER_PANEL_HIDDEN_SSID, LOWER_PANEL_PROFILE_EDITOR, LOWER_PANEL_SECURITY_EDITOR,
                               LOWER_PANEL_AP_DETAIL, LOWER_PANEL_PEAP_SETTING};
  for (const LowerPanelEntry& entry : LowerPanels()) {
    QWidget* panel = window->LowerPanel(entry.panel);
    if (panel == nullptr) continue;
    Exercise([&] { window->ShowLowerPanel(entry.panel); });
    const bool works = std::find(std::begin(workingPanels), std::end(workingPanels), entry.panel) !=
                       std::end(workingPanels);
    EXPECT_EQ(IsPlaceholder(panel), !works) << entry.panelClass;
  }
  EXPECT_TRUE(IsPlaceholder(window->LowerPanel(LOWER_PANEL_LINK_STATUS))) << "the link status polls the driver";
  EXPECT_TRUE(window->isVisible());
}

TEST_F(NoVendorDriverPagesTest, WithAVendorDriverEveryPageIsItsOwn) {
  window = MakeWindow();
  ASSERT_TRUE(window->Initialised());
  for (const TabButtonEntry& entry : TabButtons())
    EXPECT_FALSE(IsPlaceholder(window->Page(entry.button))) << entry.pageClass;
  for (const LowerPanelEntry& entry : LowerPanels())
    EXPECT_FALSE(IsPlaceholder(window->LowerPanel(entry.panel))) << entry.panelClass;
}

}  // namespace
}  // namespace ov
