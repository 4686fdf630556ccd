#pragma once
#include <array>

#include "shell/ui/page_contract.h"
#include "views/statistics_rules.h"

class QLabel;
class QPushButton;
class QTabWidget;

// CPageStatisticsDlg, the statistics tab: the driver's frame counters on a transmit and a
// receive sub-tab, refreshed every 2 s while shown, and Reset Counter, which clears the driver's
// counters (and the link status's throughput reference with them).
namespace ov {

inline constexpr int IDD_PAGE_STATISTICS_DLG = 146;
inline constexpr uint32_t kStatisticsPollMs = 2000;

class CPageStatisticsDlg : public PageWidget {
  Q_OBJECT

 public:
  CPageStatisticsDlg(const PageContext& context, QWidget* parent);

  void LoadValues() override { Refresh(); }
  void Refresh() override;
  uint32_t RefreshPeriodMs() const override { return kStatisticsPollMs; }
  void ResetCounters();

  QLabel* TransmitValue(size_t row) const { return transmit_[row]; }
  QLabel* ReceiveValue(size_t row) const { return receive_[row]; }
  QPushButton* ResetButton() const { return reset_; }
  QTabWidget* Tabs() const { return tabs_; }

 private:
  void Show(const statistics::Values& values);

  QTabWidget* tabs_ = nullptr;
  std::array<QLabel*, statistics::kTransmitRows.size()> transmit_{};
  std::array<QLabel*, statistics::kReceiveRows.size()> receive_{};
  QPushButton* reset_ = nullptr;
};

QWidget* MakeStatisticsPage(const PageContext& context, QWidget* parent);

}  // namespace ov
