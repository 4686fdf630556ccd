#pragma once
#include <array>
#include <string>

#include "profilepages/profile_editor_entry.h"
#include "profilepages/profile_editor_rules.h"
#include "shell/ui/page_contract.h"

class QPushButton;
class QStackedWidget;

// CProfileEditorDlg, lower panel 2: the editor of one stored profile with its four tabs (system
// config, security, 802.1X, WAPI). Add, Edit and the survey's Add to Profile prepare it through
// ProfileEditorPanel; OK checks the tabs in their order, writes the section and returns the
// lower frame to the link status. The rules are profile_editor_rules.
namespace ov {

class CPageAuthEncryDlg;
class CPageSystemConfigDlg;
class CPage8021XDlg;
class CPageWAPIDlg;

inline constexpr int IDD_PROFILE_EDITOR = 181;

enum EditorTab : int { kTabSysConfig = 0, kTabAuthEncry = 1, kTab8021X = 2, kTabWapi = 3 };
inline constexpr int kEditorTabCount = 4;

// What the OK and Cancel buttons' and tab buttons' ids are.
inline constexpr int IDC_EDITOR_OK = 1144;
inline constexpr int IDC_EDITOR_CANCEL = 1145;
inline constexpr std::array<int, kEditorTabCount> kEditorTabButtonIds = {1163, 1129, 1130, 1396};

class CProfileEditorDlg : public PageWidget, public ProfileEditorPanel {
  Q_OBJECT

 public:
  CProfileEditorDlg(const PageContext& context, QWidget* parent);
  ~CProfileEditorDlg() override;

  // Showing the editor brings the system-config tab forward.
  void LoadValues() override;

  void OpenForAdd() override;
  void OpenFromSurvey(std::span<const uint8_t> scanEntry) override;
  bool OpenForEdit(const std::string& profileName) override;
  void RadioSettingsApplied() override;
  bool AddWithoutShowing(const std::string& ssid, const AuthEncryState& security) override;

  // OK: true when the profile was saved.
  bool OnOK();
  void OnCancel();
  void SelectTab(int tab);

  int CurrentTab() const { return currentTab_; }
  bool IsNewProfile() const { return isNewProfile_; }
  CPageSystemConfigDlg* SysConfig() const { return sysConfig_; }
  CPageAuthEncryDlg* AuthEncry() const { return authEncry_; }
  CPage8021XDlg* Eap() const { return eap_; }
  CPageWAPIDlg* Wapi() const { return wapi_; }
  QPushButton* TabButtonAt(int tab) const { return tabButtons_[tab]; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

 private:
  void BuildLayout();
  ChannelListInputs ChannelInputs() const;
  uint32_t ReadAdhocWirelessMode() const;
  int ReadPsMode() const;
  std::string NextDefaultName() const;
  SecurityContext SecurityNow() const;
  bool Refuse(const EditorRefusal& refusal);
  void SaveProfile(const EditorFields& fields);
  void ReturnToProfileList();
  void OnTabsChanged(bool tab8021XEnabled, bool tabWapiEnabled);

  bool isNewProfile_ = true;
  std::string originalName_;
  int currentTab_ = kTabSysConfig;
  std::array<QPushButton*, kEditorTabCount> tabButtons_{};
  QStackedWidget* stack_ = nullptr;
  CPageSystemConfigDlg* sysConfig_ = nullptr;
  CPageAuthEncryDlg* authEncry_ = nullptr;
  CPage8021XDlg* eap_ = nullptr;
  CPageWAPIDlg* wapi_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

QWidget* MakeProfileEditorPanel(const PageContext& context, QWidget* parent);

}  // namespace ov
