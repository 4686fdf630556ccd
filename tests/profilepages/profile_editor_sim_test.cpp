// The editor end to end against the real ovsimd on the default scenario: each security the
// editor makes (and a PEAP profile from the 802.1X page) is saved, reloaded by Edit with the same choices, applied, and
// connects to the matching access point; the security editor's Connect with a wrong secret shows
// the service's reason. The waits are bounded by real time only because a real process answers;
// page timers run on the virtual clock.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <chrono>

#include "driver/oid/bssid_list.h"
#include "driver/oid_channel.h"
#include "nativewifi/native_wifi_client.h"
#include "nativewifi/wlansvc/wlan_service_client.h"
#include "platform/deviceio/device_io.h"
#include "platform/system/machine_root.h"
#include "platform/time/monitor_messages.h"
#include "profilepages/page_8021x.h"
#include "profilepages/page_auth_encry.h"
#include "profilepages/page_sys_config.h"
#include "profilepages/profile_editor.h"
#include "profilepages/security_editor.h"
#include "profiles/load_active_profile.h"
#include "profiles/profile_store.h"
#include "shell/ui/control_ids.h"
#include "tests/nativewifi/fake_wlan_service.h"
#include "tests/profilepages/editor_test_support.h"
#include "tests/shellui/page_window_fixture.h"
#include "tests/support/simulator_process.h"
#include "widgets/filtering_edit.h"

namespace ov {
namespace {

namespace fs = std::filesystem;
using A = AuthChoice;
using C = CipherChoice;
using test::MessageInbox;

const fs::path kScenario = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json";
constexpr char kDescription[] = "Orvane WXP4 Wireless LAN PCI Adapter";
constexpr char kGuid[] = "{0F5A51D0-0000-4000-8000-025A0F000601}";
constexpr char kDevicePath[] = "\\\\.\\{0F5A51D0-0000-4000-8000-025A0F000601}";
constexpr auto kWait = std::chrono::seconds(20);

class EditorOverSimulator : public test::PageWindowFixture<test::ScanHost> {
 protected:
  void SetUp() override {
    simulator_.emplace(OVUI_BIN_DIR, kScenario, dir.path());
    ASSERT_TRUE(simulator_->ready()) << simulator_->output();
    channel_.setDevicePath(kDevicePath);
    NativeWifiClientServices services;
    services.service = std::make_shared<wlan::WlanServiceClient>(UnderRoot("run/ovui/wlansvc").string());
    services.driver = &channel_;
    client_.emplace(services);
    ASSERT_EQ(client_->Open(kDescription, MessageTarget(inbox_), false), ERROR_SUCCESS);
    ASSERT_EQ(client_->Scan(), ERROR_SUCCESS);
    ASSERT_TRUE(inbox_->next(WM_MON_SCAN_DONE, kWait));
    ASSERT_TRUE(client_->CopyScanList(host.list));

    options.services.store = &store_;
    options.services.wifi = &*client_;
    options.services.driver = &channel_;
    options.services.showMessage = [this](const QString& text, QWidget*) {
      messages_.push_back(text.toStdString());
      return 1;
    };
    registry.RegisterLowerPanel(LOWER_PANEL_PROFILE_EDITOR, MakeProfileEditorPanel);
    registry.RegisterLowerPanel(LOWER_PANEL_SECURITY_EDITOR, MakeSecurityEditorPanel);
    state.WpaReady = true;
    state.Adapter.chipFamily = static_cast<ChipFamily>(4);
    window = MakeWindow();
  }
  void TearDown() override {
    window.reset();
    client_.reset();
  }

  CProfileEditorDlg* Editor() {
    return dynamic_cast<CProfileEditorDlg*>(window->LowerPanel(LOWER_PANEL_PROFILE_EDITOR));
  }
  CSecurityEditorDlg* SecurityEditor() {
    return dynamic_cast<CSecurityEditorDlg*>(window->LowerPanel(LOWER_PANEL_SECURITY_EDITOR));
  }
  std::span<const uint8_t> ScanEntryOf(const std::string& ssid) {
    for (auto entry : BssidListEntries(host.list)) {
      NDIS_WLAN_BSSID_EX e;
      if (DecodeNdisWlanBssidEx(entry, e) && NdisSsidText(e.Ssid) == ssid) return entry;
    }
    return {};
  }

  // What the profile list's Apply does with a stored profile, then the connection's outcome.
  std::optional<Message> Apply(const std::string& name, bool adhoc) {
    EXPECT_TRUE(store_.ActivateProfileInStore(name, FormatActiveTime()));
    ActiveProfileContext context;
    context.isAdmin = true;
    context.wpaReady = true;
    StationProfile record;
    LoadActiveProfile(store_, context, record);
    inbox_->drain();
    EXPECT_TRUE(client_->ApplyProfile(1, record, adhoc, nullptr));
    return inbox_->next(WM_MON_CONNECT_DONE, kWait);
  }

  std::string CurrentSsid() {
    NDIS_802_11_SSID ssid;
    return client_->GetCurrentSsid(ssid) ? std::string(NdisSsidText(ssid)) : std::string();
  }

  test::ScopedMachineRoot root_{dir.path()};
  std::optional<test::SimulatorProcess> simulator_;
  SocketDeviceIo io_;
  OidChannel channel_{io_, clock};
  ProfileStore store_{StoreLocation{dir.path().string() + "/", 4, kGuid}};
  std::shared_ptr<MessageInbox> inbox_ = std::make_shared<MessageInbox>();
  std::optional<NativeWifiClient> client_;
  std::vector<std::string> messages_;
};

struct RoundTripRow {
  const char* name;
  const char* ssid;
  bool adhoc;
  A auth;
  C cipher;
  int keyIndex;
  const char* key;   // the WEP key or the pass phrase
  const char* authCaption;
  const char* cipherCaption;
};

class EditorRoundTrip : public EditorOverSimulator,
                        public ::testing::WithParamInterface<RoundTripRow> {};

TEST_P(EditorRoundTrip, SavedReloadedAppliedAndConnected) {
  const RoundTripRow& row = GetParam();
  ASSERT_TRUE(OpenProfileEditorForAdd(*window));
  CPageSystemConfigDlg* sys = Editor()->SysConfig();
  CPageAuthEncryDlg* auth = Editor()->AuthEncry();
  sys->NameEdit()->setText(row.name);
  sys->SsidCombo()->setCurrentIndex(sys->SsidCombo()->findText(row.ssid));
  ASSERT_EQ(sys->SsidCombo()->currentText(), row.ssid);
  if (row.adhoc) {
    sys->ChooseNetworkType(false);
    sys->ChannelList()->setCurrentText("10");
  }
  auth->ChooseAuth(row.auth);
  auth->ChooseCipher(row.cipher);
  if (UsesPreSharedKey(row.auth)) {
    auth->PskEdit()->setText(row.key);
  } else if (row.cipher == C::Wep) {
    auth->KeyRadio(row.keyIndex)->click();
    auth->KeyEdit(row.keyIndex)->setText(row.key);
  }
  ASSERT_TRUE(Editor()->OnOK()) << (messages_.empty() ? "" : messages_[0]);

  ASSERT_TRUE(OpenProfileEditorForEdit(*window, row.name));
  EXPECT_EQ(sys->SsidCombo()->currentText(), row.ssid);
  EXPECT_EQ(sys->NetworkTypeButton()->text(), row.adhoc ? "IDS_ADHOC" : "IDS_INFRA");
  EXPECT_EQ(auth->AuthButton()->text(), row.authCaption);
  EXPECT_EQ(auth->CipherButton()->text(), row.cipherCaption);
  if (UsesPreSharedKey(row.auth)) {
    EXPECT_EQ(auth->PskEdit()->text(), row.key);
  } else if (row.cipher == C::Wep) {
    EXPECT_TRUE(auth->KeyRadio(row.keyIndex)->isChecked());
    EXPECT_EQ(auth->KeyEdit(row.keyIndex)->text(), row.key);
  }
  Editor()->OnCancel();

  const auto done = Apply(row.name, row.adhoc);
  ASSERT_TRUE(done) << "no connection to " << row.ssid;
  EXPECT_EQ(CurrentSsid(), row.ssid);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EditorRoundTrip,
    ::testing::Values(
        RoundTripRow{"Open", "Orvane-Open", false, A::Open, C::None, 0, "", "IDS_OPENSYSTEM", "IDS_NONE"},
        RoundTripRow{"OpenWep104", "Orvane-WEP-Open", false, A::Open, C::Wep, 0,
                     "0F5A0F5A0F5A0F5A0F5A0F5A0F", "IDS_OPENSYSTEM", "IDS_WEP"},
        RoundTripRow{"SharedWep40Key2", "Orvane-WEP-Shared", false, A::Shared, C::Wep, 1,
                     "0F5A51D001", "IDS_SHARED", "IDS_WEP"},
        RoundTripRow{"WpaPskTkip", "Orvane-WPA-TKIP", false, A::WpaPsk, C::Tkip, 0,
                     "tkip passphrase 1", "IDS_WPAPSK", "IDS_TKIP"},
        RoundTripRow{"Wpa2PskAes", "Orvane-WPA2-AES", false, A::Wpa2Psk, C::Aes, 0,
                     "orvane-sim-2", "IDS_WPA2PSK", "IDS_AES"},
        RoundTripRow{"Wpa2PskOnMixed", "Orvane-Mixed", false, A::Wpa2Psk, C::Aes, 0,
                     "mixed mode key", "IDS_WPA2PSK", "IDS_AES"},
        RoundTripRow{"AdhocOpenWep", "Orvane-AdHoc", true, A::Open, C::Wep, 0, "0F5A0F5A01",
                     "IDS_OPENSYSTEM", "IDS_WEP"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorOverSimulator, PeapProfileFromThe8021XPageConnects) {
  ASSERT_TRUE(OpenProfileEditorForAdd(*window));
  CPageSystemConfigDlg* sys = Editor()->SysConfig();
  sys->NameEdit()->setText("Office");
  sys->SsidCombo()->setCurrentIndex(sys->SsidCombo()->findText("Orvane-Corp"));
  ASSERT_EQ(sys->SsidCombo()->currentText(), "Orvane-Corp");
  Editor()->AuthEncry()->ChooseAuth(A::Wpa2);
  Editor()->AuthEncry()->ChooseCipher(C::Aes);
  CPage8021XDlg* eap = Editor()->Eap();
  eap->ChooseMethod(kEapPeap);
  eap->ChoosePeapInner(kInnerMsChapV2);
  eap->IdentityEdit()->setText("alice");
  eap->TunnelIdEdit()->setText("alice");
  eap->TunnelPasswordEdit()->setText("Alice-Pass-1");
  ASSERT_TRUE(Editor()->OnOK()) << (messages_.empty() ? "" : messages_[0]);

  ASSERT_TRUE(OpenProfileEditorForEdit(*window, "Office"));
  EXPECT_EQ(eap->MethodButton()->text(), "IDS_8021X_EAP_PEAP");
  EXPECT_EQ(eap->InnerButton()->text(), "IDS_8021X_PEAP_TUNNEL_MSCHAP2");
  EXPECT_EQ(eap->TunnelIdEdit()->text(), "alice");
  EXPECT_EQ(eap->TunnelPasswordEdit()->text(), "Alice-Pass-1");
  Editor()->OnCancel();

  const auto done = Apply("Office", false);
  ASSERT_TRUE(done) << "no connection to Orvane-Corp";
  EXPECT_EQ(CurrentSsid(), "Orvane-Corp");
}

TEST_F(EditorOverSimulator, ConnectWithAWrongPassphraseShowsTheServicesReason) {
  const auto entry = ScanEntryOf("Orvane-WPA2-AES");
  ASSERT_FALSE(entry.empty());
  ASSERT_TRUE(OpenSecurityEditorForConnect(*window, entry));
  CSecurityEditorDlg* editor = SecurityEditor();
  EXPECT_EQ(editor->AuthEncry()->AuthButton()->text(), "IDS_WPA2PSK");
  editor->AuthEncry()->PskEdit()->setText("not the passphrase");
  inbox_->drain();
  ASSERT_TRUE(editor->OnOK());
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_LINK_STATUS);
  ASSERT_TRUE(editor->Watching());
  ASSERT_TRUE(inbox_->next(WM_MON_ATTEMPT_FAILED, kWait));
  clock.advance(kConnectWatchMs);
  EXPECT_FALSE(editor->Watching());
  ASSERT_EQ(messages_.size(), 1u);
  const auto failure = client_->LastConnectionFailure();
  ASSERT_TRUE(failure);
  EXPECT_EQ(messages_[0],
            CSecurityEditorDlg::ConnectFailureText("Orvane-WPA2-AES", *failure).toStdString());
  EXPECT_NE(messages_[0].find(wlan::ReasonCodeText(*failure)), std::string::npos);
  EXPECT_FALSE(client_->IsConnected());

  // The right one connects, and the watch ends without a message.
  ASSERT_TRUE(OpenSecurityEditorForConnect(*window, entry));
  editor->AuthEncry()->PskEdit()->setText("orvane-sim-2");
  inbox_->drain();
  ASSERT_TRUE(editor->OnOK());
  ASSERT_TRUE(inbox_->next(WM_MON_CONNECT_DONE, kWait));
  clock.advance(kConnectWatchMs);
  EXPECT_FALSE(editor->Watching());
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_EQ(CurrentSsid(), "Orvane-WPA2-AES");
}

}  // namespace
}  // namespace ov
