#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <memory>
#include <string>
#include <vector>

#include <sys/time.h>

#include <filesystem>

#include "driver/driver_file.h"
#include "driver/oid/oid_constants.h"
#include "platform/time/virtual_clock.h"
#include "radio/page_about.h"
#include "shell/ui/main_window.h"
#include "tests/oid/recording_requester.h"
#include "tests/shellui/qt_app_environment.h"
#include "tests/shellui/page_window_fixture.h"
#include "tests/shellui/shell_test_support.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

using Row = CPageAboutDlg::Row;

class AboutPageTest : public test::PageWindowFixture<> {
 protected:
  void SetUp() override {
    registry.RegisterPage(TabButton::About, MakeAboutPage);
    driver.answers[OID_VND_EEPROM_VERSION.query] = {3, 1, 0, 0};
    driver.answers[OID_VND_FIRMWARE_VERSION.query] = {2, 1, 0, 0};
    driver.answers[OID_802_3_CURRENT_ADDRESS] = {0x02, 0x0F, 0x5A, 0x00, 0x00, 0x07};
  }

  static CPageAboutDlg* About(COvUI2007Dlg& window) {
    return dynamic_cast<CPageAboutDlg*>(window.Page(TabButton::About));
  }
  static std::string Shown(CPageAboutDlg* page, Row row) {
    return page->Value(row)->isVisible() ? page->Value(row)->text().toStdString() : "(hidden)";
  }

};

TEST_F(AboutPageTest, ShowsTheDriverFactsByFamilyAndHidesWhatCouldNotBeRead) {
  struct Case {
    const char* name;
    ChipFamily family;
    bool eepromFails;
    bool firmwareFails;
    bool macFails;
    const char* eeprom;
    const char* firmware;
    const char* mac;
  } cases[] = {
      {"family 6: every row", WXP4, false, false, false, "3.1", "1.2", "02-0F-5A-00-00-07"},
      {"family 0 never shows the firmware", WXP1, false, false, false, "3.1",
       "(hidden)", "02-0F-5A-00-00-07"},
      {"EEPROM query fails", WXP4, true, false, false, "(hidden)", "1.2",
       "02-0F-5A-00-00-07"},
      {"firmware query fails", WXP4, false, true, false, "3.1", "(hidden)",
       "02-0F-5A-00-00-07"},
      {"MAC query fails: zeros", WXP4, false, false, true, "3.1", "1.2",
       "00-00-00-00-00-00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    state.Adapter.chipFamily = c.family;
    driver.failingQueries.clear();
    if (c.eepromFails) driver.failingQueries.insert(OID_VND_EEPROM_VERSION.query);
    if (c.firmwareFails) driver.failingQueries.insert(OID_VND_FIRMWARE_VERSION.query);
    if (c.macFails) driver.failingQueries.insert(OID_802_3_CURRENT_ADDRESS);
    auto window = MakeWindow();
    window->ShowPage(TabButton::About);
    CPageAboutDlg* page = About(*window);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Shown(page, Row::Eeprom), c.eeprom);
    EXPECT_EQ(Shown(page, Row::Firmware), c.firmware);
    EXPECT_EQ(Shown(page, Row::Mac), c.mac);
    EXPECT_EQ(page->Label(Row::Firmware)->isVisible(), std::string(c.firmware) != "(hidden)");
    EXPECT_EQ(page->Label(Row::Eeprom)->isVisible(), std::string(c.eeprom) != "(hidden)");
    EXPECT_FALSE(Shown(page, Row::UtilityVersion).empty());
    EXPECT_EQ(page->LegalNotice()->text().toStdString(), "IDS_LEGAL_COPYRIGHT");
    EXPECT_EQ(page->Label(Row::Mac)->text().toStdString(), "IDS_ABOUT_PHY_ADDR");
  }
}

TEST_F(AboutPageTest, ReadsOnEveryShowWritesNothingAndDoesNotPoll) {
  state.Adapter.chipFamily = WXP4;
  auto window = MakeWindow();
  EXPECT_TRUE(driver.calls.empty()) << "nothing is read before the page is shown";
  window->ShowPage(TabButton::About);
  CPageAboutDlg* page = About(*window);
  const size_t firstShow = driver.calls.size();
  EXPECT_EQ(firstShow, 3u) << "EEPROM, MAC and firmware";
  clock.advance(60000);
  EXPECT_EQ(driver.calls.size(), firstShow) << "no periodic refresh";

  // The EEPROM answer changes while another page is up: the next show reads it again.
  window->ShowPage(TabButton::SiteSurvey);
  driver.answers[OID_VND_EEPROM_VERSION.query] = {4, 0, 0, 0};
  window->ShowPage(TabButton::About);
  EXPECT_EQ(Shown(page, Row::Eeprom), "4.0");
  EXPECT_TRUE(driver.Sets().empty()) << "the about page writes nothing";
}

TEST_F(AboutPageTest, WithoutAnAdapterThePageStillShows) {
  options.services.driver = nullptr;
  auto window = MakeWindow();
  window->ShowPage(TabButton::About);
  CPageAboutDlg* page = About(*window);
  EXPECT_EQ(Shown(page, Row::Eeprom), "(hidden)");
  EXPECT_EQ(Shown(page, Row::Mac), "00-00-00-00-00-00");
}

TEST_F(AboutPageTest, TheWebButtonOpensTheMakersAddressOrSaysItCannot) {
  std::vector<std::string> messages;
  options.services.showMessage = [&](const QString& text, QWidget*) {
    messages.push_back(text.toStdString());
    return 1;
  };
  auto window = MakeWindow();
  window->ShowPage(TabButton::About);
  CPageAboutDlg* page = About(*window);
  page->WebButton()->click();
  ASSERT_EQ(host.openedUrls.size(), 1u);
  EXPECT_EQ(host.openedUrls[0].toString().toStdString(), kOemWebAddress);
  EXPECT_TRUE(messages.empty());
  host.viewerPresent = false;
  page->WebButton()->click();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(kOemWebAddress), std::string::npos);
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

// The driver's version and date come from its file under the machine root; a file without a
// version leaves what was shown.
TEST_F(AboutPageTest, DriverVersionAndDateComeFromTheDriverFile) {
  test::ScopedMachineRoot root(dir.path());
  state.Adapter.chipFamily = WXP4;
  const std::filesystem::path file = DriverFilePath(WXP4);
  std::filesystem::create_directories(file.parent_path());
  test::WriteFileBytes(file, DriverFileInfo({3, 2, 1, 0}, "Orvane 802.11n"));
  const timeval noonJune15[2] = {{1781524800, 0}, {1781524800, 0}};  // 2026-06-15 12:00 UTC
  ASSERT_EQ(::utimes(file.c_str(), noonJune15), 0);

  auto window = MakeWindow();
  window->ShowPage(TabButton::About);
  CPageAboutDlg* page = About(*window);
  EXPECT_EQ(Shown(page, Row::DriverVersion), "3.2.1.0");
  EXPECT_EQ(Shown(page, Row::DriverDate), "06-15-2026");

  test::WriteFileBytes(file, std::string("description=no version\0", 23));
  window->ShowPage(TabButton::SiteSurvey);
  window->ShowPage(TabButton::About);
  EXPECT_EQ(Shown(page, Row::DriverVersion), "3.2.1.0");
}

}  // namespace
}  // namespace ov
