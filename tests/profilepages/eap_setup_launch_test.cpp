// LaunchEapSetup from the profile editor's OK, in the real main window offscreen: the messages
// the monitor gets (0x407 with wParam 0 before the worker, 1 when its dialog has closed), what the
// worker stores, and what happens without an EAP host.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QComboBox>

#include "nativewifi/eap_fast_blob.h"
#include "nativewifi/native_wifi_client.h"
#include "platform/time/monitor_messages.h"
#include "profilepages/page_8021x.h"
#include "profilepages/page_auth_encry.h"
#include "profilepages/page_sys_config.h"
#include "profilepages/profile_editor.h"
#include "profilepages/profile_editor_entry.h"
#include "profilepages/security_editor.h"
#include "profiles/profile_store.h"
#include "shell/ui/control_ids.h"
#include "tests/nativewifi/fake_wlan_service.h"
#include "tests/profilepages/editor_test_support.h"
#include "tests/shellui/page_window_fixture.h"

namespace ov {
namespace {

constexpr char kGuid[] = "{0F5A51D0-0000-4000-8000-025A0F000601}";

class ScriptedEapHost final : public EapHost {
 public:
  uint32_t status = ERROR_SUCCESS;
  std::vector<uint8_t> output;
  std::vector<std::vector<uint8_t>> inputs;
  uint32_t InvokeConfigUI(uint32_t, const wlan::EapMethodType& method, std::span<const uint8_t> input,
                          std::vector<uint8_t>* out) override {
    EXPECT_EQ(method, kEapFastMethodType);
    inputs.emplace_back(input.begin(), input.end());
    if (status == ERROR_SUCCESS) *out = output;
    return status;
  }
};

// The monitor as the editor reaches it: a message target that records.
class MonitorHost : public test::ScanHost {
 public:
  MessageTarget MonitorTarget() override { return MessageTarget(inbox); }
  std::shared_ptr<test::MessageInbox> inbox = std::make_shared<test::MessageInbox>();
};

std::vector<uint8_t> Settings(const std::string& server) {
  EapFastSettings s;
  s.flags = kEapFastValidateServer;
  s.serverName = server;
  return EncodeEapFastBlob(s);
}

class EapSetupLaunchTest : public test::PageWindowFixture<MonitorHost> {
 protected:
  EapSetupLaunchTest() {
    options.services.store = &store;
    options.services.showMessage = [this](const QString& text, QWidget*) {
      messages.push_back(text.toStdString());
      return 1;
    };
    registry.RegisterLowerPanel(LOWER_PANEL_PROFILE_EDITOR, MakeProfileEditorPanel);
    registry.RegisterLowerPanel(LOWER_PANEL_SECURITY_EDITOR, MakeSecurityEditorPanel);
    state.WpaReady = true;
    state.Adapter.chipFamily = static_cast<ChipFamily>(4);
  }
  // The client over a fake service; workers run in place, so the dialog has closed when OK returns.
  void MakeClient(bool withEapHost) {
    NativeWifiClientServices s;
    s.service = service;
    if (withEapHost) s.eapHost = eapHost;
    s.startWorker = [](std::function<void()> job) { job(); };
    client = std::make_unique<NativeWifiClient>(s);
    options.services.wifi = client.get();
    window = MakeWindow();
  }
  CProfileEditorDlg* Editor() {
    return dynamic_cast<CProfileEditorDlg*>(window->LowerPanel(LOWER_PANEL_PROFILE_EDITOR));
  }
  // A WPA2 enterprise profile with `method`, saved by OK.
  void Save(const std::string& name, uint32_t method, bool add = true) {
    if (add) {
      ASSERT_TRUE(OpenProfileEditorForAdd(*window));
      Editor()->SysConfig()->NameEdit()->setText(QString::fromStdString(name));
      Editor()->SysConfig()->SsidCombo()->setEditText("Orvane-Fast");
      Editor()->AuthEncry()->ChooseAuth(AuthChoice::Wpa2);
      Editor()->AuthEncry()->ChooseCipher(CipherChoice::Aes);
      Editor()->Eap()->ChooseMethod(method);
      if (method == kEapPeap) {
        Editor()->Eap()->IdentityEdit()->setText("alice");
        Editor()->Eap()->TunnelIdEdit()->setText("alice");
        Editor()->Eap()->TunnelPasswordEdit()->setText("pw");
      }
    } else {
      ASSERT_TRUE(OpenProfileEditorForEdit(*window, name));
    }
    ASSERT_TRUE(Editor()->OnOK()) << (messages.empty() ? "" : messages.back());
  }
  std::string Stored(const std::string& name, StoreFileKind kind, const char* key, size_t size = 256) {
    return store.ReadStoreValue(kind, name, key, size);
  }

  ProfileStore store{StoreLocation{dir.path().string() + "/", 4, kGuid}};
  std::shared_ptr<ScriptedEapHost> eapHost = std::make_shared<ScriptedEapHost>();
  std::unique_ptr<NativeWifiClient> client;
  std::shared_ptr<test::FakeWlanService> service = std::make_shared<test::FakeWlanService>();
  std::vector<std::string> messages;
};

const std::vector<Message> kDialogRan = {{WM_MON_EAP_UI_DONE, 0, 0}, {WM_MON_EAP_UI_DONE, 1, 0}};

struct LaunchRow {
  const char* name;
  uint32_t method;
  bool eapHost;
  uint32_t dialogStatus;
  std::vector<Message> posted;
  int dialogs;
  bool blobStored;
};

class EapSetupLaunchRowTest : public EapSetupLaunchTest,
                              public ::testing::WithParamInterface<LaunchRow> {};

TEST_P(EapSetupLaunchRowTest, OkStartsTheWorkerOnlyForEapFast) {
  const LaunchRow& row = GetParam();
  eapHost->status = row.dialogStatus;
  eapHost->output = Settings("radius.corp.example");
  MakeClient(row.eapHost);
  Save("corp", row.method);
  EXPECT_EQ(host.inbox->drain(), row.posted);
  EXPECT_EQ(static_cast<int>(eapHost->inputs.size()), row.dialogs);
  if (row.dialogs) EXPECT_TRUE(eapHost->inputs[0].empty()) << "a new profile has no settings yet";
  const size_t length = eapHost->output.size();
  EXPECT_EQ(Stored("corp", StoreFileKind::Profiles, "EapConfigBlobLen"),
            row.blobStored ? std::to_string(length) : "");
  EXPECT_EQ(Stored("corp", StoreFileKind::ProfilesBlob, "EapConfigBlob", 2 * length),
            row.blobStored ? EncodeBlobHex(eapHost->output) : "");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EapSetupLaunchRowTest,
    ::testing::Values(
        LaunchRow{"FastConfirmed", kEapFast, true, ERROR_SUCCESS, kDialogRan, 1, true},
        LaunchRow{"FastCancelledStoresNothing", kEapFast, true, ERROR_CANCELLED, kDialogRan, 1, false},
        // Nothing may stay disabled when no dialog can run.
        LaunchRow{"FastWithoutEapHost", kEapFast, false, ERROR_SUCCESS, kDialogRan, 0, false},
        LaunchRow{"PeapHasNoDialog", kEapPeap, true, ERROR_SUCCESS, {}, 0, false},
        LaunchRow{"TlsHasNoDialog", kEapTls, true, ERROR_SUCCESS, {}, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EapSetupLaunchTest, EditStartsTheDialogFromTheStoredSettingsAndKeepsThemOnCancel) {
  eapHost->output = Settings("first.example");
  MakeClient(true);
  Save("corp", kEapFast);
  const std::vector<uint8_t> first = eapHost->output;
  host.inbox->drain();

  eapHost->output = Settings("second.example");
  Save("corp", kEapFast, false);
  ASSERT_EQ(eapHost->inputs.size(), 2u);
  EXPECT_EQ(eapHost->inputs[1], first);
  EXPECT_EQ(Stored("corp", StoreFileKind::ProfilesBlob, "EapConfigBlob", 2 * eapHost->output.size()),
            EncodeBlobHex(eapHost->output));

  const std::vector<uint8_t> second = eapHost->output;
  eapHost->status = ERROR_CANCELLED;
  Save("corp", kEapFast, false);
  EXPECT_EQ(eapHost->inputs.at(2), second);
  EXPECT_EQ(Stored("corp", StoreFileKind::Profiles, "EapConfigBlobLen"), std::to_string(second.size()))
      << "a cancelled dialog keeps what the profile had";
  EXPECT_EQ(host.inbox->drain(), (std::vector<Message>{kDialogRan[0], kDialogRan[1], kDialogRan[0],
                                                       kDialogRan[1]}));
}

// The survey's Connect to an EAP-FAST network: the security editor's OK starts the dialog on the
// same route (0x407 to the monitor), the connection waits for 0x412, then takes the dialog's
// settings into the profile document it applies.
constexpr char kAdapterName[] = "Orvane WXP4 Wireless LAN PCI Adapter";
const wlan::Guid kAdapterGuid = test::MakeGuid(1);
// RSN with AES and 802.1X key management.
const std::vector<uint8_t> kRsnEnterprise = {0x30, 20, 1, 0, 0x00, 0x0F, 0xAC, 4, 1, 0, 0x00,
                                             0x0F, 0xAC, 4, 1, 0, 0x00, 0x0F, 0xAC, 1, 0, 0};

struct SurveyConnectRow {
  const char* name;
  uint32_t method;
  bool eapHost;
  uint32_t dialogStatus;
  std::vector<Message> posted;   // before 0x412 is handled
  bool waits;                    // the connection waits for the dialog
  bool settingsInDocument;       // the dialog's server name reaches the profile document
};

class SurveyConnectEapTest : public EapSetupLaunchTest,
                             public ::testing::WithParamInterface<SurveyConnectRow> {};

TEST_P(SurveyConnectEapTest, ConnectRunsTheDialogFirstForEapFast) {
  const SurveyConnectRow& row = GetParam();
  eapHost->status = row.dialogStatus;
  eapHost->output = Settings("radius.corp.example");
  service->interfaces = {{kAdapterGuid, kAdapterName, wlan::wlan_interface_state_disconnected}};
  MakeClient(row.eapHost);
  ASSERT_EQ(client->Open(kAdapterName, MessageTarget(host.inbox), false), ERROR_SUCCESS);
  host.inbox->drain();

  const auto entry = test::ScanEntry("Orvane-Fast", 7, true, 2437000, kRsnEnterprise);
  ASSERT_TRUE(OpenSecurityEditorForConnect(*window, entry));
  auto* editor = dynamic_cast<CSecurityEditorDlg*>(window->LowerPanel(LOWER_PANEL_SECURITY_EDITOR));
  ASSERT_NE(editor, nullptr);
  ASSERT_EQ(editor->AuthEncry()->Fields().auth, AuthChoice::Wpa2);
  CPage8021XDlg* eap = editor->findChild<CPage8021XDlg*>();
  ASSERT_NE(eap, nullptr);
  eap->ChooseMethod(row.method);
  if (row.method == kEapPeap) {
    eap->IdentityEdit()->setText("alice");
    eap->TunnelIdEdit()->setText("alice");
    eap->TunnelPasswordEdit()->setText("pw");
  }
  ASSERT_TRUE(editor->OnOK()) << (messages.empty() ? "" : messages.back());
  EXPECT_EQ(host.inbox->drain(), row.posted);
  EXPECT_EQ(editor->AwaitingEapDialog(), row.waits);
  EXPECT_EQ(service->setProfiles.empty(), row.waits) << "nothing is applied while the dialog is up";

  // What the site survey does when the monitor forwards 0x412.
  NotifySecurityEditorOfEapDialog(*window);
  EXPECT_FALSE(editor->AwaitingEapDialog());
  ASSERT_EQ(service->setProfiles.size(), 1u) << "one connection, whatever the dialog gave";
  const std::string& xml = service->setProfiles[0].xml;
  EXPECT_NE(xml.find("Orvane-Fast"), std::string::npos);
  EXPECT_EQ(xml.find("radius.corp.example") != std::string::npos, row.settingsInDocument) << xml;
  // A second 0x412 (another dialog's) connects nothing more.
  NotifySecurityEditorOfEapDialog(*window);
  EXPECT_EQ(service->setProfiles.size(), 1u);
}

const std::vector<Message> kSurveyDialogRan = {
    {WM_MON_EAP_UI_DONE, 0, 0}, {WM_MON_EAP_UI_DONE, 1, 0}, {WM_MON_EAP_CONFIG, 1, 0}};

INSTANTIATE_TEST_SUITE_P(
    Rows, SurveyConnectEapTest,
    ::testing::Values(
        SurveyConnectRow{"FastConfirmed", kEapFast, true, ERROR_SUCCESS, kSurveyDialogRan, true, true},
        // Without the dialog's settings the service's defaults for the method apply.
        SurveyConnectRow{"FastCancelled", kEapFast, true, ERROR_CANCELLED, kSurveyDialogRan, true, false},
        // Nothing may stay disabled, nor the connection wait forever, when no dialog can run.
        SurveyConnectRow{"FastWithoutEapHost", kEapFast, false, ERROR_SUCCESS, kSurveyDialogRan, true, false},
        SurveyConnectRow{"PeapConnectsAtOnce", kEapPeap, true, ERROR_SUCCESS, {}, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ov
