#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "radio/ht_table.h"
#include "shell/ui/page_contract.h"
#include "views/ap_detail_rules.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QTreeWidget;

// CAPDetailInfoDlg, lower panel 4: one scanned network in four tabs (General, WPS, CCX,
// 802.11n), filled from its scan-list entry through DescribeBss each time it is shown. Close
// puts the link status back. It reads nothing but the entry and writes nothing.
namespace ov {

class CProgressCtrlX;

inline constexpr int IDD_AP_DETAIL_INFO_DLG = 257;

class CAPDetailInfoDlg : public PageWidget {
  Q_OBJECT

 public:
  enum Tab : int { kTabGeneral = 0, kTabWps, kTabCcx, kTabHt };
  enum class GeneralField { Ssid, MacAddress, Authentication, Encryption, Channel, NetworkType,
                            BeaconInterval, Count };
  enum class CcxField { Cckm, Cmic, Ckip, Count };
  // Authentication Type, Encryption Type, then the eight WPS attributes.
  static constexpr int kWpsFieldCount = 2 + static_cast<int>(kBssWpsFieldCount) - 1;

  CAPDetailInfoDlg(const PageContext& context, QWidget* parent);
  ~CAPDetailInfoDlg() override;

  // The network to show next. The panel keeps its own copy: the survey sorts the scan list in
  // place, so a place in it may hold another network by the time the panel is shown again.
  void SetEntry(std::span<const uint8_t> entry);
  // Fills every tab from the entry and selects the first.
  void LoadValues() override;

  QTabWidget* Tabs() const { return tabs_; }
  QLabel* General(GeneralField field) const { return general_[static_cast<int>(field)]; }
  CProgressCtrlX* SignalBar() const { return signal_; }
  QLabel* RatesBox() const { return rates_; }
  QLabel* Ccx(CcxField field) const { return ccx_[static_cast<int>(field)]; }
  QLabel* Wps(int index) const { return wps_[index]; }
  QTreeWidget* HtTree() const { return htTree_; }
  QPushButton* CloseButton() const { return close_; }

 private:
  QWidget* MakeGeneralTab();
  QWidget* MakeWpsTab();
  QWidget* MakeCcxTab();
  QWidget* MakeHtTab();
  void FillHtTree(const std::vector<ap_detail::HtTreeRow>& rows);

  CHTTable htTable_;
  std::vector<uint8_t> entry_;
  QTabWidget* tabs_ = nullptr;
  std::array<QLabel*, static_cast<int>(GeneralField::Count)> general_{};
  CProgressCtrlX* signal_ = nullptr;
  QLabel* rates_ = nullptr;
  std::array<QLabel*, static_cast<int>(CcxField::Count)> ccx_{};
  std::array<QLabel*, kWpsFieldCount> wps_{};
  QTreeWidget* htTree_ = nullptr;
  QPushButton* close_ = nullptr;
};

QWidget* MakeApDetailPanel(const PageContext& context, QWidget* parent);

// Shows `entry` in the window's AP detail panel (hidden first when it is on show, so it is
// filled afresh) and expands the window. False when the window has no such panel.
bool OpenApDetail(COvUI2007Dlg& window, std::span<const uint8_t> entry);

}  // namespace ov
