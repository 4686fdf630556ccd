#pragma once
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "shell/ui/page_contract.h"
#include "wps/wps_store.h"
#include "wpspages/wps_ap_rows.h"
#include "wpspages/wps_page_rules.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// CPageWPSDlg, the WPS tab: the WPS access points of the last scan, push-button and PIN runs
// through the driver followed every 200 ms, the credentials a run brings stored and applied, and
// the WPS profile list over the process-wide credential table (the action queue's). Its timer 5
// follows the driver's own push-button runs for the life of the page; those runs are completed
// by the monitor window, the page only shows them.
namespace ov {

class ActionQueue;
class CInfoWnd;
class CProgressCtrlX;
struct ActivationState;

inline constexpr int IDC_WPS_AP_LIST = 3255;
inline constexpr int IDC_WPS_RESCAN = 3256;
inline constexpr int IDC_WPS_PIN = 3257;
inline constexpr int IDC_WPS_RENEW = 3258;
inline constexpr int IDC_WPS_INFORMATION = 3261;
inline constexpr int IDC_WPS_PBC = 3262;
inline constexpr int IDC_WPS_PROGRESS = 5264;
inline constexpr int IDC_WPS_STATUS = 4260;
inline constexpr int IDC_WPS_PROFILE_LIST = 5258;
inline constexpr int IDC_WPS_PROFILE_DETAIL = 1265;
inline constexpr int IDC_WPS_CONNECT = 3266;
inline constexpr int IDC_WPS_ROTATE = 4267;
inline constexpr int IDC_WPS_DISCONNECT = 4268;
inline constexpr int IDC_WPS_DELETE = 4269;
inline constexpr int IDC_WPS_IMPORT_PROFILE = 4270;
inline constexpr int IDC_WPS_ASSOC_IE = 3271;
inline constexpr int IDC_WPS_PROBE_IE = 4272;
inline constexpr int IDC_WPS_PIN_EDIT = 1243;
inline constexpr int IDC_WPS_CONFIG_MODE = 1363;
inline constexpr int IDC_WPS_AUTO_SELECT = 1349;
inline constexpr int IDC_WPS_WIRELESS_MODE = 1343;

// The page's timers.
inline constexpr int kWpsTimerPoll = 2;          // status every 200 ms during a run
inline constexpr int kWpsTimerConnection = 3;    // connection monitor, every 2 s
inline constexpr int kWpsTimerPbcStarted = 5;    // the driver's own push-button runs, every 1 s
inline constexpr int kWpsTimerOverallLimit = 6;  // auto-select PIN mode: 120 s for the attempt
inline constexpr int kWpsTimerNextAp = 7;        // auto-select PIN mode: 5 s per access point
inline constexpr uint32_t kWpsPollMs = 200;
inline constexpr uint32_t kWpsConnectionMs = 2000;
inline constexpr uint32_t kWpsPbcStartedMs = 1000;
inline constexpr uint32_t kWpsOverallLimitMs = 120000;
inline constexpr uint32_t kWpsNextApMs = 5000;

// The state icons of the AP list (column 4: push button active, column 5: set-up locked) and of
// the profile list (connected).
inline constexpr int kWpsApPushButtonColumn = 4;
inline constexpr int kWpsApLockedColumn = 5;

class CPageWPSDlg : public PageWidget {
  Q_OBJECT

 public:
  CPageWPSDlg(const PageContext& context, QWidget* parent);
  ~CPageWPSDlg() override;

  // Shows the stored settings, the credential table and the last scan's WPS access points.
  void LoadValues() override;
  void OnMonitorMessage(const Message& message) override;

  // Commands.
  void Rescan();
  void OnInformation();
  void OnRenew();
  void StartPbc();
  void StartPin();
  void OnConnect();
  void OnRotate();
  void Disconnect();
  void OnDelete();
  void OnConfigModeChanged(int mode);
  void OnWirelessModeChanged(int mode);

  int SessionMode() const { return sessionMode_; }
  int CurrentApIndex() const { return currentApIndex_; }
  uint32_t TickCounter() const { return tick_; }
  bool FollowingDriverRun() const { return origin_ == WpsRunOrigin::Driver && polling_; }
  const std::vector<WpsApRow>& ApRows() const { return apRows_; }
  // The credential table the page works on: the action queue's (the process-wide one).
  WpsStoreState& Wps();

  QTreeWidget* ApList() const { return apList_; }
  QTreeWidget* ProfileList() const { return profileList_; }
  QPushButton* RescanButton() const { return rescan_; }
  QPushButton* InformationButton() const { return information_; }
  QPushButton* PinButton() const { return pin_; }
  QPushButton* PbcButton() const { return pbc_; }
  QPushButton* RenewButton() const { return renew_; }
  QPushButton* ProfileDetailButton() const { return profileDetail_; }
  QPushButton* ConnectButton() const { return connect_; }
  QPushButton* RotateButton() const { return rotate_; }
  QPushButton* DisconnectButton() const { return disconnect_; }
  QPushButton* DeleteButton() const { return delete_; }
  QPushButton* ImportProfileButton() const { return importProfile_; }
  QCheckBox* AssocIeBox() const { return assocIe_; }
  QCheckBox* ProbeIeBox() const { return probeIe_; }
  QCheckBox* AutoSelectBox() const { return autoSelect_; }
  QLineEdit* PinEdit() const { return pinEdit_; }
  QComboBox* ConfigModeCombo() const { return configMode_; }
  QComboBox* WirelessModeCombo() const { return wirelessMode_; }
  QLabel* StatusText() const { return status_; }
  CProgressCtrlX* Progress() const { return progress_; }
  CInfoWnd* Note() const { return note_; }
  // The connected mark of each profile row (the applied one is marked by the connection monitor).
  bool RowMarkedConnected(int row) const;

 signals:
  // The credential panel (lower panel 6) and the import through the profile editor belong to
  // their own classes: the page only says what was asked for.
  void ProfileDetailRequested(int row);
  void ImportProfileRequested();

 private:
  QWidget* MakeApGroup();
  QWidget* MakeProfileGroup();
  QWidget* MakeSettingsGroup();

  ActionQueue* Queue() const;
  ActivationState& Activation();
  void SaveStore(bool replace);
  void MarkUse();
  void GeneratePin();
  bool ValidatePin(uint32_t* pin);

  void RebuildApList();
  void FillProfileList();
  // Profile Detail and Import Profile, carried out by the credential panel and the import.
  void OnProfileDetail(int row);
  void OnImportProfile();
  void OnCredentialSaved();
  void RefreshButtons();
  std::optional<int> SelectedApRow() const;
  std::optional<int> SelectedProfileRow() const;
  void SetStatus(const QString& text);
  void SetProgress(int percent);

  // The shared steps of a start.
  void LeaveNetwork();
  void ClearCredentials();
  void SendRunStart(const WpsStart& start);
  void StartPolling(WpsRunOrigin origin);
  void PinSessionStep();

  void Poll();
  void TakeCredentials();
  void ConnectionTick();
  void CheckDriverPbcStarted();
  void OverallLimitReached();
  void NextApTimeout();
  void ApplyCredential(uint32_t index);
  void StartConnectionMonitor();
  // Disconnect's part after its timer and index resets (Delete runs it as well).
  void StopSequence();
  void MarkAppliedRow(std::optional<bool> connected);

  std::vector<WpsApRow> apRows_;
  WpsStoreState ownWps_;             // without an adapter (preview): nothing is shared
  std::unique_ptr<ActivationState> ownActivation_;
  int sessionMode_ = kWpsSessionIdle;
  WpsRunOrigin origin_ = WpsRunOrigin::Page;
  bool polling_ = false;
  bool monitorActive_ = false;
  bool rotating_ = false;
  int currentApIndex_ = -1;
  uint32_t tick_ = 0;
  std::optional<bool> appliedConnected_;  // the applied row's mark; none: no mark

  QTreeWidget* apList_ = nullptr;
  QTreeWidget* profileList_ = nullptr;
  QPushButton* rescan_ = nullptr;
  QPushButton* information_ = nullptr;
  QPushButton* pin_ = nullptr;
  QPushButton* pbc_ = nullptr;
  QPushButton* renew_ = nullptr;
  QPushButton* profileDetail_ = nullptr;
  QPushButton* connect_ = nullptr;
  QPushButton* rotate_ = nullptr;
  QPushButton* disconnect_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* importProfile_ = nullptr;
  QCheckBox* assocIe_ = nullptr;
  QCheckBox* probeIe_ = nullptr;
  QCheckBox* autoSelect_ = nullptr;
  QLineEdit* pinEdit_ = nullptr;
  QComboBox* configMode_ = nullptr;
  QComboBox* wirelessMode_ = nullptr;
  QLabel* status_ = nullptr;
  CProgressCtrlX* progress_ = nullptr;
  CInfoWnd* note_ = nullptr;
};

QWidget* MakeWpsPage(const PageContext& context, QWidget* parent);

}  // namespace ov
