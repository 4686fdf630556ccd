#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/time/timer_service.h"
#include "profilepages/profile_editor_entry.h"
#include "profilepages/security_editor_scan_entry.h"
#include "shell/ui/page_contract.h"

class QLabel;
class QPushButton;
class QStackedWidget;

// CSecurityEditorDlg, lower panel 3: the survey's Connect to a secured network. The security
// tab comes preset from the scan entry and asks for the secret; OK checks it as the profile
// editor does, fills a connection record (no profile is stored), resets the active
// configuration and connects through the wireless client; for EAP-FAST the EAP host's settings
// dialog runs first and the connection waits for its 0x412 (through the monitor and the site
// survey), taking the dialog's settings along. A failure the service reports within
// the watch time is shown with the service's reason.
namespace ov {

class CPageAuthEncryDlg;
class EapFastDialogResult;
class CPage8021XDlg;
struct StationProfile;
class CPageWAPIDlg;

inline constexpr int IDD_SECURITY_EDITOR = 3240;
inline constexpr int kSecurityEditorTabCount = 3;
// How often and how long the editor looks for the connection's outcome.
inline constexpr uint32_t kConnectWatchMs = 500;
inline constexpr int kConnectWatchSteps = 60;

class CSecurityEditorDlg : public PageWidget, public SecurityEditorPanel {
  Q_OBJECT

 public:
  CSecurityEditorDlg(const PageContext& context, QWidget* parent);
  ~CSecurityEditorDlg() override;

  void LoadValues() override;
  void OpenForConnect(std::span<const uint8_t> scanEntry) override;
  void EapDialogClosed() override;

  // OK: true when the connection was asked for.
  bool OnOK();
  void OnCancel();
  void SelectTab(int tab);

  // The record OK builds for the network (without connecting); for tests and the OK itself.
  StationProfile ConnectionRecord();
  // The message a failed connection shows.
  static QString ConnectFailureText(const std::string& ssid, uint32_t reasonCode);

  bool Watching() const { return watchTimer_ != 0; }
  // A connection waits for the EAP-FAST dialog.
  bool AwaitingEapDialog() const { return pendingRecord_ != nullptr; }
  int CurrentTab() const { return currentTab_; }
  const SurveyedNetwork& Network() const { return network_; }
  CPageAuthEncryDlg* AuthEncry() const { return authEncry_; }
  QPushButton* TabButtonAt(int tab) const { return tabButtons_[tab]; }
  QPushButton* OkButton() const { return ok_; }
  QLabel* NetworkLabel() const { return networkLabel_; }

 private:
  void BuildLayout();
  bool Connect(StationProfile& record);
  void StartWatch();
  void StopWatch();
  void WatchStep();

  SurveyedNetwork network_;
  int currentTab_ = 0;
  std::array<QPushButton*, kSecurityEditorTabCount> tabButtons_{};
  QStackedWidget* stack_ = nullptr;
  CPageAuthEncryDlg* authEncry_ = nullptr;
  CPage8021XDlg* eap_ = nullptr;
  CPageWAPIDlg* wapi_ = nullptr;
  QLabel* networkLabel_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  TimerId watchTimer_ = 0;
  int watchSteps_ = 0;
  std::string watchedSsid_;
  std::unique_ptr<StationProfile> pendingRecord_;
  std::shared_ptr<EapFastDialogResult> eapDialogResult_;
};

QWidget* MakeSecurityEditorPanel(const PageContext& context, QWidget* parent);

}  // namespace ov
