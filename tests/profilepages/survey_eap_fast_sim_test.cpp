// The site survey's Connect to an EAP-FAST network end to end, in the monitor's main window
// against the real ovsimd on the default scenario: Connect on "Orvane-Corp", EAP-FAST in the
// security editor, OK; 0x407 reaches the monitor, which disables the window while the EAP host's
// dialog (scripted here) is up; its 0x412 goes through the monitor and the survey to the editor,
// which connects with the dialog's settings. The authentication server takes the outer identity
// "anonymous" with unauthenticated provisioning. Every timer is virtual; only the service's
// answers are waited for (a real process).
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <condition_variable>
#include <mutex>

#include "nativewifi/eap_fast_blob.h"
#include "nativewifi/eap_host.h"
#include "profilepages/page_8021x.h"
#include "profilepages/page_auth_encry.h"
#include "profilepages/security_editor.h"
#include "shell/ovui_pages.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/message_box.h"
#include "tests/monitor/monitor_sim_fixture.h"
#include "views/page_site_survey.h"

namespace ov::test {
namespace {

constexpr char kCorpSsid[] = "Orvane-Corp";

// The EAP host's dialog as the user answers it: confirms the given settings, or cancels. It
// stays up (its worker thread waits) until the test closes it.
class ScriptedEapHost final : public EapHost {
 public:
  ScriptedEapHost(uint32_t status, std::vector<uint8_t> answer)
      : status_(status), answer_(std::move(answer)) {}
  uint32_t InvokeConfigUI(uint32_t, const wlan::EapMethodType& method, std::span<const uint8_t> in,
                          std::vector<uint8_t>* out) override {
    std::unique_lock lock(mutex_);
    ++shown_;
    methodWasFast_ = method == kEapFastMethodType;
    input_.assign(in.begin(), in.end());
    closed_.wait(lock, [this] { return close_; });
    if (status_ == ERROR_SUCCESS) *out = answer_;
    return status_;
  }
  void Close() {
    std::lock_guard lock(mutex_);
    close_ = true;
    closed_.notify_all();
  }
  int Shown() const {
    std::lock_guard lock(mutex_);
    return shown_;
  }
  bool MethodWasFast() const {
    std::lock_guard lock(mutex_);
    return methodWasFast_;
  }
  std::vector<uint8_t> Input() const {
    std::lock_guard lock(mutex_);
    return input_;
  }

 private:
  const uint32_t status_;
  const std::vector<uint8_t> answer_;
  mutable std::mutex mutex_;
  std::condition_variable closed_;
  bool close_ = false;
  int shown_ = 0;
  bool methodWasFast_ = false;
  std::vector<uint8_t> input_;
};

std::vector<uint8_t> DialogSettings(const std::string& outerIdentity) {
  EapFastSettings settings;
  settings.flags = kEapFastAllowUnauthenticatedProvisioning;
  settings.outerIdentity = outerIdentity;
  return EncodeEapFastBlob(settings);
}

class SurveyEapFastSimTest : public MonitorOnSimulatorTest {
 protected:
  void RegisterPages(PageRegistry& pages) override { RegisterProgramPages(pages); }
  // The dialog's answer, set before the fixture makes the wireless client.
  void Answer(uint32_t status, const std::string& outerIdentity) {
    host_ = std::make_shared<ScriptedEapHost>(status, DialogSettings(outerIdentity));
  }
  void AddClientServices(NativeWifiClientServices& services) override { services.eapHost = host_; }
  void TearDown() override {
    if (host_) host_->Close();  // a worker still waiting ends
    MonitorOnSimulatorTest::TearDown();
  }

  CPageSiteSurveyDlg* Survey() {
    return dynamic_cast<CPageSiteSurveyDlg*>(monitor_->MainWindow()->Page(TabButton::SiteSurvey));
  }
  CSecurityEditorDlg* Editor() {
    return dynamic_cast<CSecurityEditorDlg*>(
        monitor_->MainWindow()->LowerPanel(LOWER_PANEL_SECURITY_EDITOR));
  }

  // The survey with the monitor's scan, Connect on the Corp row, EAP-FAST in the editor, OK.
  void ConnectWithEapFast() {
    monitor_->OpenMainWindow();
    ASSERT_NE(monitor_->MainWindow(), nullptr);
    RecordMessageBoxes();
    monitor_->MainWindow()->ShowPage(TabButton::SiteSurvey);
    ASSERT_NE(Survey(), nullptr);
    std::optional<int> row;
    ASSERT_TRUE(WaitFor([&] {
      Tick();
      const auto& rows = Survey()->Rows();
      for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].ssid == kCorpSsid) row = static_cast<int>(i);
      }
      return row.has_value();
    })) << "the survey never listed " << kCorpSsid;
    Survey()->List()->selectRow(*row);
    ASSERT_TRUE(Survey()->ConnectButton()->isEnabled());
    Survey()->ConnectButton()->click();
    ASSERT_NE(Editor(), nullptr);
    ASSERT_EQ(monitor_->MainWindow()->State().LowerPanel, LOWER_PANEL_SECURITY_EDITOR);
    ASSERT_EQ(Editor()->AuthEncry()->Fields().auth, AuthChoice::Wpa2);
    CPage8021XDlg* eap = Editor()->findChild<CPage8021XDlg*>();
    ASSERT_NE(eap, nullptr);
    eap->ChooseMethod(kEapFast);
    Editor()->OkButton()->click();
    ASSERT_TRUE(shownMessages_.empty()) << shownMessages_.front();

    // 0x407 (0) reaches the monitor: while the dialog is up the window waits, and nothing is
    // applied.
    ASSERT_TRUE(WaitFor([&] { return host_->Shown() == 1; })) << "the dialog never came up";
    messages_.deliverAll();
    QCoreApplication::processEvents();
    EXPECT_FALSE(monitor_->MainWindow()->isEnabled());
    EXPECT_TRUE(Editor()->AwaitingEapDialog());
    EXPECT_FALSE(wifiClient_->ServiceProfileExists(kCorpSsid));
    EXPECT_TRUE(host_->MethodWasFast());
    EXPECT_TRUE(host_->Input().empty()) << "the survey's network has no settings yet";
  }
  // The editor's watch reports the connection's failure in a message box.
  bool WaitForMessage() {
    return WaitFor([&] {
      clock_.advance(kConnectWatchMs);
      return !shownMessages_.empty();
    });
  }

  std::shared_ptr<ScriptedEapHost> host_;
};

class SurveyEapFastConnectTest : public SurveyEapFastSimTest {
 protected:
  SurveyEapFastConnectTest() { Answer(ERROR_SUCCESS, "anonymous"); }
};

TEST_F(SurveyEapFastConnectTest, TheDialogsSettingsConnect) {
  ConnectWithEapFast();
  if (HasFatalFailure()) return;
  host_->Close();
  ASSERT_TRUE(WaitConnected(kCorpSsid)) << (shownMessages_.empty() ? "" : shownMessages_.front());
  EXPECT_TRUE(monitor_->MainWindow()->isEnabled());
  EXPECT_FALSE(Editor()->AwaitingEapDialog());
  // The watch sees the link and stops; nothing is reported.
  for (int i = 0; i < 4 && Editor()->Watching(); ++i) clock_.advance(kConnectWatchMs);
  EXPECT_FALSE(Editor()->Watching());
  EXPECT_TRUE(shownMessages_.empty()) << shownMessages_.front();
}

struct FailureRow {
  const char* name;
  uint32_t dialogStatus;
  const char* outerIdentity;
  uint32_t reason;  // the service's reason the editor shows
};

class SurveyEapFastFailureTest : public SurveyEapFastSimTest,
                                 public ::testing::WithParamInterface<FailureRow> {
 protected:
  SurveyEapFastFailureTest() { Answer(GetParam().dialogStatus, GetParam().outerIdentity); }
};

TEST_P(SurveyEapFastFailureTest, TheServicesReasonIsShownAndTheWindowIsEnabledAgain) {
  const FailureRow& row = GetParam();
  ConnectWithEapFast();
  if (HasFatalFailure()) return;
  host_->Close();
  ASSERT_TRUE(WaitForMessage()) << "no failure was shown";
  EXPECT_EQ(shownMessages_.front(),
            CSecurityEditorDlg::ConnectFailureText(kCorpSsid, row.reason).toStdString());
  EXPECT_TRUE(monitor_->MainWindow()->isEnabled());
  EXPECT_FALSE(Editor()->AwaitingEapDialog());
  EXPECT_FALSE(wifiClient_->IsConnected());
  // One failure, one message: the survey and the profile list did not start this connection.
  Tick(3);
  WaitFor([] { return false; }, 1);
  EXPECT_EQ(shownMessages_.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SurveyEapFastFailureTest,
    ::testing::Values(
        FailureRow{"UnknownOuterIdentity", ERROR_SUCCESS, "mallory",
                   wlan::ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
        // Cancelled: the connection goes ahead without settings, and a profile without an EAP
        // configuration names no method the server takes.
        FailureRow{"DialogCancelled", ERROR_CANCELLED, "anonymous",
                   wlan::ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ov::test
