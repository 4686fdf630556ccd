// The editor end to end against the real ovsimd on the default scenario: each security the
// editor makes, and each 802.1X method of its 802.1X page, is saved, reloaded by Edit with the
// same choices, applied, and connects to the matching access point, or (TTLS, MD5-Challenge, the
// security page's LEAP choice) is refused with the service's reason; the security editor's
// Connect with a wrong secret shows the service's reason. The waits are bounded by real time only
// because a real process answers; page timers run on the virtual clock.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QCheckBox>
#include <QRadioButton>
#include <atomic>
#include <chrono>
#include <functional>
#include <cstdlib>

#include "driver/oid/bssid_list.h"
#include "driver/oid_channel.h"
#include "nativewifi/eap_fast_blob.h"
#include "nativewifi/eap_host.h"
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

// The EAP host's EAP-FAST dialog as a user who confirms it unchanged: the default settings.
class ConfirmingEapHost final : public EapHost {
 public:
  uint32_t InvokeConfigUI(uint32_t, const wlan::EapMethodType& method, std::span<const uint8_t>,
                          std::vector<uint8_t>* output) override {
    ++dialogs;
    if (method != kEapFastMethodType) return wlan::ERROR_NOT_SUPPORTED;
    *output = EncodeEapFastBlob(EapFastSettings{});
    return ERROR_SUCCESS;
  }
  std::atomic<int> dialogs = 0;
};

class EditorOverSimulator : public test::PageWindowFixture<test::ScanHost> {
 protected:
  EditorOverSimulator() {
    // The user's certificate folder inside the test's root.
    const char* saved = std::getenv("XDG_DATA_HOME");
    if (saved) savedXdg_ = saved;
    ::setenv("XDG_DATA_HOME", (dir.path() / "data").c_str(), 1);
  }
  ~EditorOverSimulator() override {
    if (savedXdg_) ::setenv("XDG_DATA_HOME", savedXdg_->c_str(), 1);
    else ::unsetenv("XDG_DATA_HOME");
  }
  void SetUp() override {
    simulator_.emplace(OVUI_BIN_DIR, kScenario, dir.path());
    ASSERT_TRUE(simulator_->ready()) << simulator_->output();
    channel_.setDevicePath(kDevicePath);
    NativeWifiClientServices services;
    services.service = std::make_shared<wlan::WlanServiceClient>(UnderRoot("run/ovui/wlansvc").string());
    services.driver = &channel_;
    services.eapHost = eapHost_;
    services.startWorker = [](std::function<void()> job) { job(); };  // the dialog closes within OK
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

  // What the profile list's Apply does with a stored profile, then the connection's outcome:
  // `awaited` is WM_MON_CONNECT_DONE, or WM_MON_ATTEMPT_FAILED for a refusal.
  std::optional<Message> Apply(const std::string& name, bool adhoc,
                               uint32_t awaited = WM_MON_CONNECT_DONE) {
    EXPECT_TRUE(store_.ActivateProfileInStore(name, FormatActiveTime()));
    ActiveProfileContext context;
    context.isAdmin = true;
    context.wpaReady = true;
    StationProfile record;
    LoadActiveProfile(store_, context, record);
    inbox_->drain();
    EXPECT_TRUE(client_->ApplyProfile(1, record, adhoc, nullptr));
    return inbox_->next(awaited, kWait);
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
  std::shared_ptr<ConfirmingEapHost> eapHost_ = std::make_shared<ConfirmingEapHost>();
  std::optional<std::string> savedXdg_;
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

// One 802.1X combination of the editor: the security choice, the 802.1X page's fields, what
// Edit must show again, and how the service answers.
struct EapRoundTripRow {
  const char* name;
  const char* ssid;
  A auth;
  C cipher;
  uint32_t method;
  uint32_t inner;  // PEAP: the inner EAP type; TTLS: the menu index; else unused
  const char* identity;
  const char* password;  // the LEAP choice: its identity and password are the security page's
  const char* tunnelId;
  const char* tunnelPassword;
  bool clientCert;  // bob's certificate picked on the client-certificate page
  const char* methodCaption;
  const char* innerCaption;
  uint32_t refusal;  // 0: connects; else the service's reason
};

class EapRoundTrip : public EditorOverSimulator, public ::testing::WithParamInterface<EapRoundTripRow> {
 protected:
  // The test PKI's client certificate and its key, in the user's certificate folder.
  void InstallBobsCertificate() {
    const fs::path folder = dir.path() / "data/ovui/certs";
    const fs::path pki = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/eap";
    fs::create_directories(folder);
    fs::copy_file(pki / "client.pem", folder / "bob.pem");
    fs::copy_file(pki / "client.key", folder / "bob.key");
  }
};

TEST_P(EapRoundTrip, SavedReloadedAppliedAndAnsweredByTheService) {
  const EapRoundTripRow& row = GetParam();
  InstallBobsCertificate();
  const bool leapChoice = row.auth == A::Leap;
  ASSERT_TRUE(OpenProfileEditorForAdd(*window));
  CPageSystemConfigDlg* sys = Editor()->SysConfig();
  CPageAuthEncryDlg* auth = Editor()->AuthEncry();
  CPage8021XDlg* eap = Editor()->Eap();
  sys->NameEdit()->setText(row.name);
  sys->SsidCombo()->setCurrentIndex(sys->SsidCombo()->findText(row.ssid));
  ASSERT_EQ(sys->SsidCombo()->currentText(), row.ssid);
  auth->ChooseAuth(row.auth);
  if (leapChoice) {
    auth->LeapUserEdit()->setText(row.identity);
    auth->LeapPasswordEdit()->setText(row.password);
  } else {
    auth->ChooseCipher(row.cipher);
    Editor()->SelectTab(kTab8021X);
    eap->ChooseMethod(row.method);
    if (row.method == kEapPeap) eap->ChoosePeapInner(row.inner);
    if (row.method == kEapTtls) eap->ChooseTtlsInner(row.inner);
    eap->IdentityEdit()->setText(row.identity);
    eap->PasswordEdit()->setText(row.password);
    eap->TunnelIdEdit()->setText(row.tunnelId);
    eap->TunnelPasswordEdit()->setText(row.tunnelPassword);
    if (row.clientCert) {
      eap->SelectSubTab(EapSubTab::ClientCert);
      ASSERT_TRUE(eap->UseClientCertBox()->isChecked());
      const int bob = eap->ClientCertCombo()->findText("bob@orvane.example");
      ASSERT_GE(bob, 0) << "the personal folder's certificate is not listed";
      eap->ClientCertCombo()->setCurrentIndex(bob);
    }
  }
  const int dialogsBefore = eapHost_->dialogs;
  ASSERT_TRUE(Editor()->OnOK()) << (messages_.empty() ? "" : messages_[0]);
  EXPECT_EQ(eapHost_->dialogs - dialogsBefore, row.method == kEapFast && !leapChoice ? 1 : 0);

  ASSERT_TRUE(OpenProfileEditorForEdit(*window, row.name));
  EXPECT_EQ(sys->SsidCombo()->currentText(), row.ssid);
  if (leapChoice) {
    EXPECT_EQ(auth->AuthButton()->text(), "IDS_LEAP");
    EXPECT_EQ(auth->LeapUserEdit()->text(), row.identity);
    EXPECT_EQ(auth->LeapPasswordEdit()->text(), row.password);
  } else {
    EXPECT_EQ(eap->MethodButton()->text(), row.methodCaption);
    EXPECT_EQ(eap->InnerButton()->text(), row.innerCaption);
    EXPECT_EQ(eap->IdentityEdit()->text(), row.identity);
    EXPECT_EQ(eap->PasswordEdit()->text(), row.password);
    EXPECT_EQ(eap->TunnelIdEdit()->text(), row.tunnelId);
    EXPECT_EQ(eap->TunnelPasswordEdit()->text(), row.tunnelPassword);
    EXPECT_EQ(eap->UseClientCertBox()->isChecked(), row.clientCert);
    if (row.clientCert) EXPECT_EQ(eap->ClientCertCombo()->currentText(), "bob@orvane.example");
  }
  Editor()->OnCancel();

  if (row.refusal == 0) {
    ASSERT_TRUE(Apply(row.name, false)) << "no connection to " << row.ssid << ", the service said "
                                        << wlan::ReasonCodeText(client_->LastConnectionFailure().value_or(0));
    EXPECT_EQ(CurrentSsid(), row.ssid);
  } else {
    ASSERT_TRUE(Apply(row.name, false, WM_MON_ATTEMPT_FAILED)) << "the service did not refuse";
    const auto failure = client_->LastConnectionFailure();
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, row.refusal) << wlan::ReasonCodeText(*failure);
    EXPECT_FALSE(client_->IsConnected());
  }
}

constexpr uint32_t kDisallowed = wlan::ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE;

INSTANTIATE_TEST_SUITE_P(
    Rows, EapRoundTrip,
    ::testing::Values(
        EapRoundTripRow{"PeapGtcStatic", "Orvane-Corp", A::Wpa2, C::Aes, kEapPeap, kInnerGtc, "", "", "erin",
                        "Erin-Token-1", false, "IDS_8021X_EAP_PEAP", "IDS_8021X_PEAP_TUNNEL_TLS_GTC", 0},
        EapRoundTripRow{"PeapTlsInner", "Orvane-Corp", A::Wpa2, C::Aes, kEapPeap, kInnerTls, "anonymous", "",
                        "bob@orvane.example", "", true, "IDS_8021X_EAP_PEAP",
                        "IDS_8021X_PEAP_TUNNEL_TLS_SMART_CARD", 0},
        EapRoundTripRow{"EapTls", "Orvane-Corp", A::Wpa2, C::Aes, kEapTls, 0, "bob@orvane.example", "", "", "",
                        true, "IDS_8021X_EAP_TLS_SMART_CARD", "", 0},
        EapRoundTripRow{"EapFast", "Orvane-Corp", A::Wpa2, C::Aes, kEapFast, 0, "", "", "", "", false,
                        "IDS_8021X_EAP_EAP_FAST", "", 0},
        EapRoundTripRow{"CckmLeap", "Orvane-CCKM", A::Cckm, C::Tkip, kEapLeap, 0, "carol", "Carol-Pass-1", "", "",
                        false, "IDS_LEAP", "", 0},
        // The LEAP choice keeps 802.1X off, so the profile carries no EAP configuration and no
        // key: a CCKM network does not take it.
        EapRoundTripRow{"LeapChoice", "Orvane-CCKM", A::Leap, C::None, kEapLeap, 0, "carol", "Carol-Pass-1", "",
                        "", false, "", "", wlan::WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE},
        EapRoundTripRow{"TtlsChap", "Orvane-Corp", A::Wpa2, C::Aes, kEapTtls, 0, "anonymous", "", "alice",
                        "Alice-Pass-1", false, "IDS_8021X_EAP_TTLS", "IDS_8021X_TTLS_TUNNEL_CHAP", kDisallowed},
        EapRoundTripRow{"TtlsMsChap", "Orvane-Corp", A::Wpa2, C::Aes, kEapTtls, 1, "anonymous", "", "alice",
                        "Alice-Pass-1", false, "IDS_8021X_EAP_TTLS", "IDS_8021X_TTLS_TUNNEL_MS_CHAP", kDisallowed},
        EapRoundTripRow{"TtlsMsChapV2", "Orvane-Corp", A::Wpa2, C::Aes, kEapTtls, 2, "anonymous", "", "alice",
                        "Alice-Pass-1", false, "IDS_8021X_EAP_TTLS", "IDS_8021X_TTLS_TUNNEL_MS_CHAP_V2",
                        kDisallowed},
        EapRoundTripRow{"TtlsPap", "Orvane-Corp", A::Wpa2, C::Aes, kEapTtls, 3, "anonymous", "", "alice",
                        "Alice-Pass-1", false, "IDS_8021X_EAP_TTLS", "IDS_8021X_TTLS_TUNNEL_PAP", kDisallowed},
        EapRoundTripRow{"TtlsEapMd5", "Orvane-Corp", A::Wpa2, C::Aes, kEapTtls, 4, "anonymous", "", "alice",
                        "Alice-Pass-1", false, "IDS_8021X_EAP_TTLS", "IDS_8021X_TTLS_TUNNEL_EAP_MD5",
                        kDisallowed},
        EapRoundTripRow{"Md5Challenge", "Orvane-Corp", A::Wpa2, C::Aes, kEapMd5, 0, "alice", "Alice-Pass-1", "", "",
                        false, "IDS_8021X_EAP_MD5", "", kDisallowed}),
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

// The security editor's Connect with a wrong secret and then the right one: the watch shows the
// service's reason once, and the right secret connects without a message.
struct WrongSecretRow {
  const char* name;
  const char* ssid;
  const char* authCaption;
  std::function<void(CSecurityEditorDlg*, const char* secret)> enter;
  const char* wrong;
  const char* right;
  uint32_t reason;
};

class WrongSecret : public EditorOverSimulator, public ::testing::WithParamInterface<WrongSecretRow> {};

TEST_P(WrongSecret, ConnectShowsTheServicesReasonThenTheRightSecretConnects) {
  const WrongSecretRow& row = GetParam();
  const auto entry = ScanEntryOf(row.ssid);
  ASSERT_FALSE(entry.empty());
  ASSERT_TRUE(OpenSecurityEditorForConnect(*window, entry));
  CSecurityEditorDlg* editor = SecurityEditor();
  EXPECT_EQ(editor->AuthEncry()->AuthButton()->text(), row.authCaption);
  row.enter(editor, row.wrong);
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
  EXPECT_EQ(*failure, row.reason) << wlan::ReasonCodeText(*failure);
  EXPECT_EQ(messages_[0], CSecurityEditorDlg::ConnectFailureText(row.ssid, *failure).toStdString());
  EXPECT_NE(messages_[0].find(wlan::ReasonCodeText(*failure)), std::string::npos);
  EXPECT_FALSE(client_->IsConnected());

  // The right one connects, and the watch ends without a message.
  ASSERT_TRUE(OpenSecurityEditorForConnect(*window, entry));
  row.enter(editor, row.right);
  inbox_->drain();
  ASSERT_TRUE(editor->OnOK());
  ASSERT_TRUE(inbox_->next(WM_MON_CONNECT_DONE, kWait));
  clock.advance(kConnectWatchMs);
  EXPECT_FALSE(editor->Watching());
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_EQ(CurrentSsid(), row.ssid);
}

void EnterPassphrase(CSecurityEditorDlg* editor, const char* secret) {
  editor->AuthEncry()->PskEdit()->setText(secret);
}

// PEAP with MS-CHAP v2, the 802.1X tab's preset for an enterprise network.
void EnterPeapPassword(CSecurityEditorDlg* editor, const char* secret) {
  auto* eap = editor->findChild<CPage8021XDlg*>();
  ASSERT_NE(eap, nullptr);
  ASSERT_EQ(eap->MethodButton()->text(), "IDS_8021X_EAP_PEAP");
  ASSERT_EQ(eap->InnerButton()->text(), "IDS_8021X_PEAP_TUNNEL_MSCHAP2");
  eap->IdentityEdit()->setText("anonymous");
  eap->TunnelIdEdit()->setText("alice");
  eap->TunnelPasswordEdit()->setText(secret);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WrongSecret,
    ::testing::Values(
        WrongSecretRow{"Wpa2Passphrase", "Orvane-WPA2-AES", "IDS_WPA2PSK", EnterPassphrase, "not the passphrase",
                       "orvane-sim-2", wlan::WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED},
        WrongSecretRow{"PeapPassword", "Orvane-Corp", "IDS_WPA2", EnterPeapPassword, "Alice-Pass-2", "Alice-Pass-1",
                       wlan::ONEX_REASON_CODE_EAP_FAILURE_RECEIVED}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorOverSimulator, ConnectWithAWrongPeapPasswordShowsTheServicesReason) {
  const auto entry = ScanEntryOf("Orvane-Corp");
  ASSERT_FALSE(entry.empty());
  ASSERT_TRUE(OpenSecurityEditorForConnect(*window, entry));
  CSecurityEditorDlg* editor = SecurityEditor();
  auto* eap = editor->findChild<CPage8021XDlg*>();
  ASSERT_NE(eap, nullptr);
  const auto peapAs = [&](const char* password) {
    editor->SelectTab(1);
    eap->ChooseMethod(kEapPeap);
    eap->ChoosePeapInner(kInnerMsChapV2);
    eap->IdentityEdit()->setText("alice");
    eap->TunnelIdEdit()->setText("alice");
    eap->TunnelPasswordEdit()->setText(password);
  };
  peapAs("not her password");
  inbox_->drain();
  ASSERT_TRUE(editor->OnOK()) << (messages_.empty() ? "" : messages_[0]);
  ASSERT_TRUE(editor->Watching());
  ASSERT_TRUE(inbox_->next(WM_MON_ATTEMPT_FAILED, kWait));
  clock.advance(kConnectWatchMs);
  EXPECT_FALSE(editor->Watching());
  const auto failure = client_->LastConnectionFailure();
  ASSERT_TRUE(failure);
  EXPECT_EQ(*failure, wlan::ONEX_REASON_CODE_EAP_FAILURE_RECEIVED) << wlan::ReasonCodeText(*failure);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], CSecurityEditorDlg::ConnectFailureText("Orvane-Corp", *failure).toStdString());
  EXPECT_NE(messages_[0].find(wlan::ReasonCodeText(*failure)), std::string::npos);
  EXPECT_FALSE(client_->IsConnected());

  ASSERT_TRUE(OpenSecurityEditorForConnect(*window, entry));
  peapAs("Alice-Pass-1");
  inbox_->drain();
  ASSERT_TRUE(editor->OnOK());
  ASSERT_TRUE(inbox_->next(WM_MON_CONNECT_DONE, kWait));
  clock.advance(kConnectWatchMs);
  EXPECT_FALSE(editor->Watching());
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_EQ(CurrentSsid(), "Orvane-Corp");
}

}  // namespace
}  // namespace ov
