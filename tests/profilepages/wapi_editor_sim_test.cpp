// A WAPI certificate profile made in the editor with WAPI support on, end to end against the
// real ovsimd: WAPI-CA chosen for the certificate network, the two certificates browsed on the
// WAPI tab, OK, reloaded by Edit with the same choices and paths, applied as the profile list
// applies (the certificate manager loaded from the program folder, the registry broker writing
// the values for the IHV extension), connected. The waits are bounded by real time only because
// a real process answers; page timers run on the virtual clock.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <chrono>

#include "driver/oid/bssid_list.h"
#include "driver/oid_channel.h"
#include "driver/params/program_options.h"
#include "nativewifi/loaded_certificate_manager.h"
#include "nativewifi/native_wifi_client.h"
#include "nativewifi/wlansvc/wlan_service_client.h"
#include "platform/deviceio/device_io.h"
#include "platform/registry/hive_store.h"
#include "platform/system/machine_root.h"
#include "platform/time/monitor_messages.h"
#include "profilepages/page_auth_encry.h"
#include "profilepages/page_sys_config.h"
#include "profilepages/page_wapi.h"
#include "profilepages/profile_editor.h"
#include "profiles/load_active_profile.h"
#include "profiles/profile_store.h"
#include "shell/registry_broker.h"
#include "shell/ui/control_ids.h"
#include "siblings/certmgr_client.h"
#include "siblings/wapi_exports.h"
#include "tests/nativewifi/fake_wlan_service.h"
#include "tests/profilepages/editor_test_support.h"
#include "tests/shellui/page_window_fixture.h"
#include "tests/support/simulator_process.h"

namespace ov {
namespace {

namespace fs = std::filesystem;
using test::MessageInbox;

const fs::path kScenario = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json";
const fs::path kScenarioCerts = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/wapi";
const fs::path kTestCerts = fs::path(OVUI_SOURCE_DIR) / "tests/wapi/certificates";
constexpr char kDescription[] = "Orvane WXP4 Wireless LAN PCI Adapter";
constexpr char kGuid[] = "{0F5A51D0-0000-4000-8000-025A0F000601}";
constexpr char kDevicePath[] = "\\\\.\\{0F5A51D0-0000-4000-8000-025A0F000601}";
constexpr char kSsid[] = "Orvane-WAPI-Cert";
constexpr auto kWait = std::chrono::seconds(20);

class WapiEditorOverSimulator : public test::PageWindowFixture<test::ScanHost> {
 protected:
  void SetUp() override {
    // The file dialog keeps its history in the user's settings: here, in this test's root.
    for (auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
      QSettings::setPath(format, QSettings::UserScope, QString::fromStdString(dir.path().string()));
    }
    simulator_.emplace(OVUI_BIN_DIR, kScenario, dir.path());
    ASSERT_TRUE(simulator_->ready()) << simulator_->output();
    channel_.setDevicePath(kDevicePath);
    NativeWifiClientServices services;
    services.service = std::make_shared<wlan::WlanServiceClient>(UnderRoot("run/ovui/wlansvc").string());
    services.driver = &channel_;
    services.registry = &broker_;
    client_.emplace(services);
    ASSERT_EQ(client_->Open(kDescription, MessageTarget(inbox_), false), ERROR_SUCCESS);
    ASSERT_EQ(client_->Scan(), ERROR_SUCCESS);
    ASSERT_TRUE(inbox_->next(WM_MON_SCAN_DONE, kWait));
    ASSERT_TRUE(client_->CopyScanList(host.list));

    // WAPI support as the monitor's set-up decides it: the option in the program INI and the
    // certificate manager loaded from the program folder.
    const fs::path ini = dir.path() / "OvUI.INI";
    test::WriteFileBytes(ini, "[AuthEncry]\r\nSupportWAPI=1\r\n");
    const bool loaded = module_.Load(fs::path(OVUI_BIN_DIR) / wapi::kCertMgrLibraryName);
    state.WapiSupported = loaded && ReadProgramOptions(ini.string()).supportWapi;
    ASSERT_TRUE(state.WapiSupported);

    options.services.store = &store_;
    options.services.wifi = &*client_;
    options.services.driver = &channel_;
    options.services.registry = &broker_;
    options.services.certificates = &module_;
    options.services.showMessage = [this](const QString& text, QWidget*) {
      messages_.push_back(text.toStdString());
      return 1;
    };
    registry.RegisterLowerPanel(LOWER_PANEL_PROFILE_EDITOR, MakeProfileEditorPanel);
    state.WpaReady = true;
    state.Adapter.chipFamily = static_cast<ChipFamily>(4);
    window = MakeWindow();
  }
  void TearDown() override {
    window.reset();
    client_.reset();
    registry_detail::CloseConnections();
  }

  CProfileEditorDlg* Editor() {
    return dynamic_cast<CProfileEditorDlg*>(window->LowerPanel(LOWER_PANEL_PROFILE_EDITOR));
  }

  // Browse on a WAPI page, answering the file dialog with `file` once it is up.
  void Browse(WapiCertKind kind, const fs::path& file) {
    bool answered = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      dialog->selectFile(QString::fromStdString(file.string()));
      QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
      answered = true;
    });
    Editor()->Wapi()->Page(kind)->BrowseButton()->click();
    EXPECT_TRUE(answered) << "no file dialog for " << file;
  }

  // What the profile list's Apply does with a stored profile, then the monitor message `outcome`.
  std::optional<Message> Apply(const std::string& name, uint32_t outcome) {
    EXPECT_TRUE(store_.ActivateProfileInStore(name, FormatActiveTime()));
    ActiveProfileContext context;
    context.isAdmin = true;
    context.wpaReady = true;
    StationProfile record;
    LoadActiveProfile(store_, context, record);
    inbox_->drain();
    LoadedCertificateManager certificates(module_);
    EXPECT_TRUE(client_->ApplyProfile(1, record, false, &certificates));
    return inbox_->next(outcome, kWait);
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
  RegistryBroker broker_{BrokerPolicy{}, /*isAdmin=*/true};
  CertificateManagerModule module_;
  std::shared_ptr<MessageInbox> inbox_ = std::make_shared<MessageInbox>();
  std::optional<NativeWifiClient> client_;
  std::vector<std::string> messages_;
};

struct WapiRow {
  const char* name;
  fs::path user;
  fs::path as;
  uint32_t reason;  // the service's, as the client reports it
};

void PrintTo(const WapiRow& row, std::ostream* os) { *os << row.name; }

class WapiEditorRoundTrip : public WapiEditorOverSimulator,
                            public ::testing::WithParamInterface<WapiRow> {};

TEST_P(WapiEditorRoundTrip, SavedReloadedAppliedAndJudgedByTheCertificate) {
  const WapiRow& row = GetParam();
  ASSERT_TRUE(OpenProfileEditorForAdd(*window));
  CPageSystemConfigDlg* sys = Editor()->SysConfig();
  CPageAuthEncryDlg* auth = Editor()->AuthEncry();
  sys->NameEdit()->setText(row.name);
  sys->SsidCombo()->setCurrentIndex(sys->SsidCombo()->findText(kSsid));
  ASSERT_EQ(sys->SsidCombo()->currentText(), kSsid);
  auth->ChooseAuth(AuthChoice::WapiCa);
  ASSERT_FALSE(Editor()->TabButtonAt(kTabWapi)->isHidden());
  ASSERT_TRUE(Editor()->TabButtonAt(kTabWapi)->isEnabled());
  Browse(WapiCertKind::User, row.user);
  Browse(WapiCertKind::As, row.as);
  ASSERT_EQ(Editor()->Wapi()->Fields(), (WapiFields{row.user.string(), row.as.string()}));
  ASSERT_TRUE(Editor()->OnOK()) << (messages_.empty() ? "" : messages_[0]);

  ASSERT_TRUE(OpenProfileEditorForEdit(*window, row.name));
  EXPECT_EQ(sys->SsidCombo()->currentText(), kSsid);
  EXPECT_EQ(auth->AuthButton()->text(), "IDS_WAPICA");
  EXPECT_EQ(Editor()->Wapi()->Fields(), (WapiFields{row.user.string(), row.as.string()}));
  EXPECT_EQ(Editor()->Wapi()->Page(WapiCertKind::User)->PathEdit()->text().toStdString(),
            row.user.string());
  EXPECT_EQ(Editor()->Wapi()->Page(WapiCertKind::As)->PathEdit()->text().toStdString(), row.as.string());
  EXPECT_TRUE(messages_.empty()) << messages_[0];
  Editor()->OnCancel();

  const bool connects = row.reason == wlan::WLAN_REASON_CODE_SUCCESS;
  ASSERT_TRUE(Apply(row.name, connects ? WM_MON_CONNECT_DONE : WM_MON_ATTEMPT_FAILED))
      << "no outcome of the connection to " << kSsid;
  EXPECT_EQ(CurrentSsid(), connects ? kSsid : "");
  EXPECT_EQ(client_->LastConnectionFailure(), connects ? std::nullopt : std::optional<uint32_t>(row.reason));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WapiEditorRoundTrip,
    ::testing::Values(
        WapiRow{"RightCertificates", kScenarioCerts / "user.cer", kScenarioCerts / "as.cer",
                wlan::WLAN_REASON_CODE_SUCCESS},
        WapiRow{"AnotherAsStation", kTestCerts / "other-user.cer", kTestCerts / "other-as.cer",
                wlan::ONEX_REASON_CODE_EAP_FAILURE_RECEIVED}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ov
