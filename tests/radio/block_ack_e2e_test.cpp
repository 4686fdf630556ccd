// The 802.11n page and the block-ack panels against the real ovsimd on the default scenario,
// connected to its 802.11n access point: an agreement added from the add panel is listed at the
// next refresh, and the delete panel tears it down again.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <sstream>

#include "cli/adapter_session.h"
#include "cli/cli.h"
#include "cli/profile_command.h"
#include "driver/params/adapter_params.h"
#include "driver/params/registry_writer.h"
#include "radio/block_ack_panels.h"
#include "radio/page_80211n.h"
#include "radio/text_rows_list.h"
#include "shell/ui/control_ids.h"
#include "tests/shellui/page_window_fixture.h"
#include "tests/support/simulator_process.h"

namespace ov {
namespace {

namespace fs = std::filesystem;

const fs::path kBin = OVUI_BIN_DIR;
const fs::path kDefaultScenario = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json";
const char* const kWpa2Profile =
    "[Home]\r\nSSID=Orvane-WPA2-AES\r\nNetworkType=1\r\nAuthMode=7\r\nCipherMode=6\r\n"
    "WPAPSK=orvane-sim-2\r\n";
// The default scenario's 802.11n access point of that network.
const char* const kAccessPointText = "02-5A-0F-10-00-05";

class BlockAckE2eTest : public test::PageWindowFixture<> {
 protected:
  void SetUp() override {
    simulator_.emplace(kBin, kDefaultScenario, dir.path());
    ASSERT_TRUE(simulator_->ready()) << simulator_->output();
    ASSERT_TRUE(probe_.Discover());
    const std::string file = files_.file("home.prof");
    test::WriteFileBytes(file, kWpa2Profile);
    ASSERT_EQ(Profile({"import", file}), cli::kExitOk);
    ASSERT_EQ(Profile({"activate", "Home"}), cli::kExitOk);

    // Manual block-ack, so the page offers its agreement buttons.
    state.Adapter = probe_.Adapter();
    const HtOptions manual{32, 32, HT_AGGREGATION_ON, 0, 1, 0, HT_SMPS_CODE_ENABLE, 0};
    ASSERT_EQ(WriteWordParam(writer_, state.Adapter.adapterKeyPath, param::kBaCapability,
                             EncodeBaCapability(manual)),
              ERROR_SUCCESS);
    options.services.driver = &probe_.Driver();
    options.services.registry = &writer_;
    registry.RegisterPage(TabButton::Ht80211n, Make80211nPage);
    registry.RegisterLowerPanel(LOWER_PANEL_ADD_BLOCK_ACK, MakeAddBlockAckPanel);
    registry.RegisterLowerPanel(LOWER_PANEL_DELETE_BLOCK_ACK, MakeDeleteBlockAckPanel);
  }

  int Profile(std::vector<std::string> args) {
    args.insert(args.begin(), {"--data-dir", data_.path().string()});
    std::ostringstream out, err;
    const int status = cli::RunProfileCommand(args, out, err);
    EXPECT_EQ(status, cli::kExitOk) << err.str();
    return status;
  }
  CPage80211nSettingDlg* Page() {
    return dynamic_cast<CPage80211nSettingDlg*>(window->Page(TabButton::Ht80211n));
  }
  // The originator row of the access point, its cells joined by blanks ("" when not listed).
  std::string AccessPointRow() {
    const TextRowsList* list = Page()->List(CPage80211nSettingDlg::Side::Originator);
    for (int row = 0; row < list->model()->rowCount(); ++row) {
      if (list->CellText(row, 0) != kAccessPointText) continue;
      std::string text;
      for (int column = 1; column < 9; ++column) text += list->CellText(row, column).toStdString() + " ";
      return text;
    }
    return "";
  }

  test::TempDir data_, files_;
  test::ScopedMachineRoot root_{dir.path()};
  std::optional<test::SimulatorProcess> simulator_;
  cli::AdapterSession probe_{cli::AdapterSessionOptions{}};
  DirectRegistryWriter writer_;
};

TEST_F(BlockAckE2eTest, AnAgreementAddedFromThePanelIsListedAndTornDown) {
  window = MakeWindow();
  window->ShowPage(TabButton::Ht80211n);
  clock.advance(kBlockAckListRefreshMs);
  // The link started with the automatic agreement for TID 0 (window 32).
  EXPECT_EQ(AccessPointRow(), "32 - - - - - - - ");

  Page()->PlusButton()->click();
  auto* add = dynamic_cast<CAddBlockAckDlg*>(window->LowerPanel(LOWER_PANEL_ADD_BLOCK_ACK));
  ASSERT_NE(add, nullptr);
  ASSERT_GE(add->PeerList()->model()->rowCount(), 1);
  EXPECT_EQ(add->PeerList()->CellText(0, 0), kAccessPointText);
  add->TidList()->setCurrentIndex(5);
  add->WindowSizeEdit()->setText("16");
  add->ConfirmButton()->click();
  clock.advance(kBlockAckListRefreshMs);
  EXPECT_EQ(AccessPointRow(), "32 - - - - 16 - - ");

  Page()->MinusButton(CPage80211nSettingDlg::Side::Originator)->click();
  auto* remove = dynamic_cast<CDeleteBlockAckDlg*>(window->LowerPanel(LOWER_PANEL_DELETE_BLOCK_ACK));
  ASSERT_NE(remove, nullptr);
  remove->TidList()->setCurrentIndex(5);
  remove->ConfirmButton()->click();
  clock.advance(kBlockAckListRefreshMs);
  EXPECT_EQ(AccessPointRow(), "32 - - - - - - - ");
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_LINK_STATUS);
}

}  // namespace
}  // namespace ov
