#pragma once
#include <QString>
#include <array>
#include <memory>

#include "shell/ui/page_contract.h"
#include "views/link_status_poll.h"
#include "views/link_status_wifi.h"

class QLabel;

namespace ov {

class CProgressCtrlX;
class CStaticHistogramPellan;

inline constexpr int IDD_LINK_STATUS_DLG = 170;
inline constexpr uint32_t kLinkStatusPollMs = 2000;

// CLinkStatusDlg, lower panel 0: the link as the driver, the wireless service and the system see
// it, refreshed every 2 s while shown. It writes nothing. What it shows comes from one
// LinkStatusPoller poll; this class only lays it out.
class CLinkStatusDlg : public PageWidget {
  Q_OBJECT

 public:
  enum class Field { Status, ExtraInfo, Channel, Authentication, Encryption, NetworkType, Ip, Mask,
                     Gateway, TxRate, TxThroughput, RxRate, RxThroughput, Count };
  enum class HtField { Bw, Gi, Mcs, Snr0, Snr1, Stbc, Count };

  // `wifi` and `addresses` replace the program's own (tests); null/empty: the page's services
  // and the system's address table.
  CLinkStatusDlg(const PageContext& context, QWidget* parent,
                 std::unique_ptr<link_status::LinkStatusWifi> wifi = nullptr,
                 link_status::AddressLookup addresses = {});
  ~CLinkStatusDlg() override;

  void LoadValues() override;
  // The statistics page cleared the driver's counters.
  void ResetThroughputCounters() { poller_->ResetCounters(); }
  void Refresh() override;
  uint32_t RefreshPeriodMs() const override { return kLinkStatusPollMs; }

  QLabel* Value(Field field) const { return values_[static_cast<int>(field)]; }
  QLabel* HtValue(HtField field) const { return htValues_[static_cast<int>(field)]; }
  CProgressCtrlX* BarAt(link_status::Bar bar) const { return bars_[bar]; }
  CStaticHistogramPellan* TxGraph() const { return txGraph_; }
  CStaticHistogramPellan* RxGraph() const { return rxGraph_; }
  QWidget* HtGroup() const { return htGroup_; }
  const link_status::LinkStatusView& LastView() const { return last_; }

 private:
  void Show(const link_status::LinkStatusView& view);
  void ShowBar(link_status::Bar index, const link_status::BarView& bar);
  link_status::PollInputs Inputs() const;
  // The advanced page's wireless mode is an 802.11n one and the survey's connected row runs
  // 40 MHz.
  bool CentralChannelSuffixNow() const;

  std::unique_ptr<link_status::LinkStatusWifi> wifi_;
  std::unique_ptr<link_status::LinkStatusPoller> poller_;
  std::array<QLabel*, static_cast<int>(Field::Count)> values_{};
  std::array<QLabel*, static_cast<int>(HtField::Count)> htValues_{};
  std::array<CProgressCtrlX*, link_status::kBarCount> bars_{};
  CStaticHistogramPellan* txGraph_ = nullptr;
  CStaticHistogramPellan* rxGraph_ = nullptr;
  QWidget* htGroup_ = nullptr;
  QWidget* barColumn_ = nullptr;
  link_status::LinkStatusView last_;
};

// The factory the main window's panel registry takes (lower panel 0).
QWidget* MakeLinkStatusPanel(const PageContext& context, QWidget* parent);

}  // namespace ov
