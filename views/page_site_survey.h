#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/ui/page_contract.h"
#include "views/survey_connect.h"
#include "views/survey_rules.h"
#include "widgets/row_source.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

// CPageSiteSurveyDlg, the site survey tab: the networks of the last scan, one row per BSS, sorted
// by SSID, channel or signal, with the connected row marked, signal in percent or dBm, a
// rescan, Connect (an open network at once, a hidden one through the prompt of lower panel 1, a
// secured one through the security editor) and Add to Profile. Its timer runs from its creation,
// shown or not.
namespace ov {

inline constexpr int IDD_PAGE_SITE_SURVEY_DLG = 144;
inline constexpr uint32_t kSurveyRefreshMs = 2000;

class VirtualListModel;

class CPageSiteSurveyDlg : public PageWidget {
  Q_OBJECT

 public:
  CPageSiteSurveyDlg(const PageContext& context, QWidget* parent);
  ~CPageSiteSurveyDlg() override;

  void LoadValues() override {}
  void Refresh() override;
  uint32_t RefreshPeriodMs() const override { return kSurveyRefreshMs; }
  bool RefreshWhileHidden() const override { return true; }
  void OnMonitorMessage(const Message& message) override;

  // Sorts the monitor's scan list by the chosen key and lists it afresh.
  void RebuildList();
  void Rescan();
  // A double click on the list: the selected row's network in the AP detail panel.
  void OnListDoubleClick();

  const std::vector<survey::SurveyEntry>& Rows() const { return rows_; }
  QTableView* List() const { return list_; }
  QPushButton* RescanButton() const { return rescan_; }
  QCheckBox* ShowDbmBox() const { return showDbm_; }
  QButtonGroup* SortButtons() const { return sortGroup_; }
  QPushButton* ConnectButton() const { return connect_; }
  QPushButton* AddToProfileButton() const { return addToProfile_; }

  void OnConnect();
  void OnAddToProfile();
  // The hidden-network prompt's OK with the trimmed name, and its Cancel.
  void ContinueWithHiddenSsid(const std::string& ssid);
  void CancelHiddenSsid();
  // The network Connect or Add to Profile chose last.
  const std::optional<survey::ChosenNetwork>& Chosen() const { return chosen_; }

 private:
  class SurveyRowSource;
  survey::SortKey Key() const;

  void MarkConnectedRow();
  void RefreshButtons();
  std::optional<size_t> SelectedRow() const;
  // Connect and Add to Profile steps 2-3: the selected row's network, or a message.
  bool ChooseSelected();
  void OpenSecurityEditor(std::span<const uint8_t> entry);
  void ConnectDirectly();
  void ShowConnectFailure();
  void ExpandWindow();

  std::vector<survey::SurveyEntry> rows_;
  std::unique_ptr<SurveyRowSource> source_;
  VirtualListModel* model_ = nullptr;
  QTableView* list_ = nullptr;
  QButtonGroup* sortGroup_ = nullptr;
  QCheckBox* showDbm_ = nullptr;
  QPushButton* rescan_ = nullptr;
  QPushButton* addToProfile_ = nullptr;
  QPushButton* connect_ = nullptr;
  std::optional<survey::ChosenNetwork> chosen_;
  std::string hiddenSsid_;     // typed in the prompt; used while State().Survey.hiddenSsidInUse
  bool connectAwaited_ = false;  // a connection this page started has not come up or failed yet
};

QWidget* MakeSiteSurveyPage(const PageContext& context, QWidget* parent);

}  // namespace ov
