#pragma once
#include <memory>
#include <vector>

#include "shell/ui/page_contract.h"
#include "views/survey_rules.h"
#include "widgets/row_source.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

// CPageSiteSurveyDlg, the site survey tab: the networks of the last scan, one row per BSS, sorted
// by SSID, channel or signal, with the connected row marked, signal in percent or dBm, and a
// rescan. Its timer runs from its creation, shown or not. (Connect and Add to Profile come with
// the profile editor and the hidden-network prompt.)
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

 private:
  class SurveyRowSource;
  survey::SortKey Key() const;

  void MarkConnectedRow();
  void RefreshButtons();

  std::vector<survey::SurveyEntry> rows_;
  std::unique_ptr<SurveyRowSource> source_;
  VirtualListModel* model_ = nullptr;
  QTableView* list_ = nullptr;
  QButtonGroup* sortGroup_ = nullptr;
  QCheckBox* showDbm_ = nullptr;
  QPushButton* rescan_ = nullptr;
};

QWidget* MakeSiteSurveyPage(const PageContext& context, QWidget* parent);

}  // namespace ov
