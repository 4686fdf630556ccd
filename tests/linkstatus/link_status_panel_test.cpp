// The link-status panel as lower panel 0 of the real main window, offscreen, on the virtual clock:
// it polls only while shown, shows what a poll returns and writes nothing.
#include <gtest/gtest.h>

#include <QLabel>
#include <cstring>
#include <memory>

#include "driver/oid/oid_constants.h"
#include "platform/time/virtual_clock.h"
#include "shell/ui/main_window.h"
#include "tests/linkstatus/fake_link_wifi.h"
#include "tests/oid/recording_requester.h"
#include "tests/shellui/page_window_fixture.h"
#include "tests/shellui/shell_test_support.h"
#include "tests/support/temp_dir.h"
#include "views/link_status_dlg.h"
#include "widgets/progress_ctrl_x.h"

namespace ov {
namespace {

using Field = CLinkStatusDlg::Field;

std::vector<uint8_t> U32(uint32_t v) {
  std::vector<uint8_t> bytes(4);
  std::memcpy(bytes.data(), &v, 4);
  return bytes;
}

class LinkStatusPanelTest : public test::PageWindowFixture<> {
 protected:
  void SetUp() override {
    registry.RegisterLowerPanel(0, [this](const PageContext& context, QWidget* parent) {
      auto fake = std::make_unique<link_status::test::FakeLinkWifi>();
      wifi = fake.get();
      return new CLinkStatusDlg(context, parent, std::move(fake), [](const MacAddress&) {
        return std::optional<link_status::AdapterAddresses>();
      });
    });
    state.Adapter.chipFamily = static_cast<ChipFamily>(4);
    state.RadioOn = true;
    driver.answers[OID_VND_EXTRA_INFO.query] = U32(0);
    driver.answers[OID_VND_RSSI0.query] = U32(static_cast<uint32_t>(-55));
    driver.answers[OID_VND_RSSI1.query] = U32(static_cast<uint32_t>(-60));
    driver.failingQueries.insert(OID_VND_RSSI2.query);
    driver.answers[OID_VND_LINK_STATUS.query] = {108, 0, 0, 0, 75, 0, 0, 0};
  }
  CLinkStatusDlg* Panel() { return dynamic_cast<CLinkStatusDlg*>(window->LowerPanel(0)); }
  std::string Text(Field f) { return Panel()->Value(f)->text().toStdString(); }
  size_t Queries() const {
    size_t n = 0;
    for (const auto& c : driver.calls) n += !c.isSet;
    return n;
  }

  link_status::test::FakeLinkWifi* wifi = nullptr;
};

TEST_F(LinkStatusPanelTest, PollsWhileShownAndShowsThePoll) {
  window = MakeWindow();
  state.Expanded = false;
  window->ToggleMoreLess();  // expanded: the lower frame is on show
  window->show();
  ASSERT_NE(Panel(), nullptr);
  ASSERT_TRUE(Panel()->isVisible());
  EXPECT_FALSE(Panel()->BarAt(link_status::kBarSignal3)->isVisibleTo(Panel()))
      << "a chain that does not answer has no bar";
  EXPECT_TRUE(Panel()->BarAt(link_status::kBarSignal2)->isVisibleTo(Panel()));

  clock.advance(kLinkStatusPollMs);
  EXPECT_EQ(Text(Field::Status), "Orvane-WPA2-AES <--> 02-5A-0F-10-00-05");
  EXPECT_EQ(Text(Field::Authentication), "WPA2-PSK");
  EXPECT_EQ(Text(Field::TxRate), "54.0 Mbps");
  EXPECT_EQ(Panel()->BarAt(link_status::kBarQuality)->position(), 100);
  EXPECT_EQ(Panel()->BarAt(link_status::kBarSignal1)->captionText().toStdString(),
            "IDS_LINK_STRENGTH") << "the key-name texts of the test table";

  // Hidden: no more polls.
  window->LowerPanel(0)->hide();
  const size_t before = Queries();
  clock.advance(5 * kLinkStatusPollMs);
  EXPECT_EQ(Queries(), before);

  // Shown again: the fields start empty, then fill at the next poll; the link went down.
  wifi->connected = false;
  window->LowerPanel(0)->show();
  EXPECT_EQ(Text(Field::Status), "");
  clock.advance(kLinkStatusPollMs);
  EXPECT_EQ(Text(Field::Status), "IDS_DISCONNECTED");
  EXPECT_EQ(Text(Field::Channel), "");
  for (const auto& call : driver.calls) EXPECT_FALSE(call.isSet) << "the panel sent a set";
}

}  // namespace
}  // namespace ov
