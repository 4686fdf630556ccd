#include "views/link_status_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "driver/oid_requester.h"
#include "driver/params/adapter_params.h"
#include "platform/system/adapter_addresses.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"
#include "views/page_site_survey.h"
#include "views/survey_connect.h"
#include "widgets/caption_format.h"
#include "widgets/colorref.h"
#include "widgets/progress_ctrl_x.h"
#include "widgets/separator.h"
#include "widgets/static_histogram.h"

namespace ov {

namespace {

using link_status::Bar;
using link_status::BarView;

// A driver that answers nothing: the panel of a window without an adapter.
class NoDriver final : public OidRequester {
 public:
  bool QueryOid(uint32_t, uint8_t*, uint32_t, uint32_t*) override { return false; }
  bool SetOid(uint32_t, uint8_t*, uint32_t, uint32_t*, int) override { return false; }
};
NoDriver noDriver;

std::optional<link_status::AdapterAddresses> SystemAddresses(const MacAddress& mac) {
  auto found = FindInterfaceAddresses(mac);
  if (!found) return std::nullopt;
  return link_status::AdapterAddresses{found->ip, found->mask, found->gateway};
}

QLabel* PlainLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

CLinkStatusDlg::CLinkStatusDlg(const PageContext& context, QWidget* parent,
                               std::unique_ptr<link_status::LinkStatusWifi> wifi,
                               link_status::AddressLookup addresses)
    : PageWidget(context, parent), wifi_(std::move(wifi)) {
  setObjectName(ControlName(IDD_LINK_STATUS_DLG));
  if (!wifi_) wifi_ = std::make_unique<link_status::NativeWifiLinkStatus>(Services().wifi);
  if (!addresses) addresses = SystemAddresses;
  OidRequester& driver = Services().driver ? *Services().driver : noDriver;
  poller_ = std::make_unique<link_status::LinkStatusPoller>(driver, *wifi_, std::move(addresses));

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(8, 4, 8, 4);
  row->setSpacing(12);

  // The text fields.
  auto* fields = new QGridLayout;
  fields->setVerticalSpacing(1);
  const std::pair<Field, LanguageKey> left[] = {
      {Field::Status, IDS_LINK_STATUS},       {Field::ExtraInfo, IDS_LINK_EXTRA_INFO},
      {Field::Channel, IDS_LINK_CHANNEL},     {Field::Authentication, IDS_LINK_AUTHEN},
      {Field::Encryption, IDS_LINK_ENCRY},    {Field::NetworkType, IDS_NETWORK_TYPE},
      {Field::Ip, IDS_LINK_IP_ADDR},          {Field::Mask, IDS_LINK_SUB_MASK},
      {Field::Gateway, IDS_LINK_DEF_GATEWAY},
  };
  int r = 0;
  for (const auto& [field, key] : left) {
    fields->addWidget(PlainLabel(UiText(key), this), r, 0);
    values_[static_cast<int>(field)] = PlainLabel({}, this);
    fields->addWidget(values_[static_cast<int>(field)], r++, 1);
  }
  fields->setColumnStretch(1, 1);
  row->addLayout(fields, 6);

  // Transmit and receive: rate, throughput and the graph.
  auto* traffic = new QVBoxLayout;
  traffic->setSpacing(1);
  auto side = [&](LanguageKey caption, Field rate, Field throughput, CStaticHistogramPellan*& graph,
                  uint32_t colour) {
    traffic->addWidget(new Separator(UiText(caption), this));
    auto* grid = new QGridLayout;
    grid->addWidget(PlainLabel(UiText(IDS_LINK_TXRATE), this), 0, 0);
    values_[static_cast<int>(rate)] = PlainLabel({}, this);
    grid->addWidget(values_[static_cast<int>(rate)], 0, 1);
    grid->addWidget(PlainLabel(UiText(IDS_LINK_THROUGHT), this), 1, 0);
    values_[static_cast<int>(throughput)] = PlainLabel({}, this);
    grid->addWidget(values_[static_cast<int>(throughput)], 1, 1);
    traffic->addLayout(grid);
    graph = new CStaticHistogramPellan(this);
    // Wide enough for the scale text ("999.999 Kbps") in the page's font.
    graph->setLabelColumnWidth(std::max(50, graph->fontMetrics().horizontalAdvance(QStringLiteral("999.999 Kbps")) + 6));
    graph->setBarColour(FromColorRef(colour));
    graph->setMinimumHeight(28);
    traffic->addWidget(graph, 1);
  };
  side(IDS_LINK_TRANSMIT, Field::TxRate, Field::TxThroughput, txGraph_, 0x00FF00);
  side(IDS_LINK_RECEIVE, Field::RxRate, Field::RxThroughput, rxGraph_, 0x00FFFF);
  row->addLayout(traffic, 4);

  // The bars, and the HT group under them.
  barColumn_ = new QWidget(this);
  auto* barsLayout = new QVBoxLayout(barColumn_);
  barsLayout->setContentsMargins(0, 0, 0, 0);
  barsLayout->setSpacing(2);
  for (int i = 0; i < link_status::kBarCount; ++i) {
    bars_[i] = new CProgressCtrlX(barColumn_, Services().timers);
    bars_[i]->setGradient(FromColorRef(0x00FF00), BarMiddleColour(), FromColorRef(0x00FF00));
    bars_[i]->setMinimumHeight(16);
    barsLayout->addWidget(bars_[i]);
  }
  htGroup_ = new QWidget(barColumn_);
  auto* ht = new QGridLayout(htGroup_);
  ht->setContentsMargins(0, 0, 0, 0);
  ht->setVerticalSpacing(0);
  ht->addWidget(new Separator(QStringLiteral("HT"), htGroup_), 0, 0, 1, 6);
  const std::pair<HtField, const char*> htFields[] = {
      {HtField::Bw, "BW >>"},     {HtField::Gi, "GI >>"},     {HtField::Mcs, "MCS >>"},
      {HtField::Snr0, "SNR0 >>"}, {HtField::Snr1, "SNR1 >>"}, {HtField::Stbc, "STBC >>"}};
  int at = 0;
  for (const auto& [field, label] : htFields) {
    auto* name = PlainLabel(QString::fromLatin1(label), htGroup_);
    auto* value = PlainLabel(QStringLiteral("n/a"), htGroup_);
    htValues_[static_cast<int>(field)] = value;
    ht->addWidget(name, 1 + at / 3, (at % 3) * 2);
    ht->addWidget(value, 1 + at / 3, (at % 3) * 2 + 1);
    if (field == HtField::Stbc) {  // laid out, written, never shown
      name->hide();
      value->hide();
    }
    ++at;
  }
  barsLayout->addWidget(htGroup_);
  barsLayout->addStretch(1);
  row->addWidget(barColumn_, 4);

  for (CProgressCtrlX* bar : bars_) bar->setCaption(UiText(IDS_LINK_QUALITY), CProgressCtrlX::CaptionMode::Percent);
  ShowBar(link_status::kBarSignal1, BarView{0, link_status::kGreen, IDS_LINK_STRENGTH, false, {}});
  ShowBar(link_status::kBarSignal2, BarView{0, link_status::kGreen, IDS_LINK_STRENGTH2, false, {}});
  ShowBar(link_status::kBarSignal3, BarView{0, link_status::kGreen, IDS_LINK_STRENGTH3, false, {}});
  ShowBar(link_status::kBarNoise, BarView{0, link_status::kGreen, IDS_NOISELEVEL, false, {}});
  poller_->Initialise();
}

CLinkStatusDlg::~CLinkStatusDlg() = default;

link_status::PollInputs CLinkStatusDlg::Inputs() const {
  link_status::PollInputs in;
  in.chipFamily = State().Adapter.chipFamily;
  in.htCapable = State().Adapter.htCapable;
  in.radioOn = State().RadioOn;
  in.showDbm = State().ShowDbm;
  in.centralChannelSuffix = CentralChannelSuffixNow();
  return in;
}

bool CLinkStatusDlg::CentralChannelSuffixNow() const {
  if (!State().Adapter.htCapable) return false;
  // The advanced page keeps the wireless mode in the adapter's parameter; the survey marks the
  // connected row on its own timer.
  auto* survey = dynamic_cast<CPageSiteSurveyDlg*>(Window().Page(TabButton::SiteSurvey));
  if (!survey) return false;
  const std::string& key = State().Adapter.adapterKeyPath;
  const std::optional<int32_t> mode =
      key.empty() ? std::nullopt : ReadDecimalParam(key, param::kWirelessMode);
  return survey::CentralChannelSuffixApplies(mode, true, survey->Rows());
}

void CLinkStatusDlg::LoadValues() {
  for (QLabel* value : values_) value->clear();
  for (CStaticHistogramPellan* graph : {txGraph_, rxGraph_}) {
    graph->setFullScale(0);
    graph->setLabels({QStringLiteral("Max"), QStringLiteral("0.000 Mbps")});
    graph->clear();
  }
  const link_status::ChainLayout layout = poller_->OnShow();
  // A missing chain's bar goes, and the noise bar moves up into its place.
  bars_[link_status::kBarSignal2]->setVisible(layout.signal2);
  bars_[link_status::kBarSignal3]->setVisible(layout.signal3);
  htGroup_->setVisible(State().Adapter.htCapable);
}

void CLinkStatusDlg::Refresh() { Show(poller_->Poll(Inputs())); }

void CLinkStatusDlg::ShowBar(Bar index, const BarView& bar) {
  CProgressCtrlX* control = bars_[index];
  const std::string caption = LangText(bar.caption);
  if (!bar.textMode) {
    control->setCaption(QString::fromStdString(caption), CProgressCtrlX::CaptionMode::Percent);
  } else if (bar.dBm) {
    control->setCaption(QString::fromStdString(FormatIntCaption(caption, *bar.dBm)),
                        CProgressCtrlX::CaptionMode::Text);
  } else {
    control->setCaption(QString::fromStdString(caption), CProgressCtrlX::CaptionMode::Text);
  }
  control->setBarColour(FromColorRef(bar.colour));
  control->setPosition(bar.position);
}

void CLinkStatusDlg::Show(const link_status::LinkStatusView& v) {
  last_ = v;
  auto set = [this](Field f, const std::string& text) {
    // The whole text stays at hand where the field is too narrow for it.
    Value(f)->setText(QString::fromStdString(text));
    Value(f)->setToolTip(Value(f)->text());
  };
  std::string status = v.statusKey ? LangText(*v.statusKey) : v.status;
  status += v.statusSuffix;
  set(Field::Status, status);
  set(Field::ExtraInfo, v.extraInfo);
  set(Field::Channel, v.channel);
  set(Field::Authentication, v.authentication);
  set(Field::Encryption, v.encryption);
  set(Field::NetworkType, v.networkType);
  set(Field::Ip, v.ip);
  set(Field::Mask, v.mask);
  set(Field::Gateway, v.gateway);
  set(Field::TxRate, v.txRate);
  set(Field::TxThroughput, v.txThroughput);
  set(Field::RxRate, v.rxRate);
  set(Field::RxThroughput, v.rxThroughput);
  for (int i = 0; i < link_status::kBarCount; ++i) ShowBar(static_cast<Bar>(i), v.bars[i]);
  const std::pair<HtField, const std::string*> ht[] = {
      {HtField::Bw, &v.ht.bw},     {HtField::Gi, &v.ht.gi},     {HtField::Mcs, &v.ht.mcs},
      {HtField::Snr0, &v.ht.snr0}, {HtField::Snr1, &v.ht.snr1}, {HtField::Stbc, &v.ht.stbc}};
  for (const auto& [field, text] : ht) HtValue(field)->setText(QString::fromStdString(*text));
  if (!v.txScaleText.empty()) {
    txGraph_->setFullScale(v.txScale);
    txGraph_->setLabels({QStringLiteral("Max"), QString::fromStdString(v.txScaleText)});
    rxGraph_->setFullScale(v.rxScale);
    rxGraph_->setLabels({QStringLiteral("Max"), QString::fromStdString(v.rxScaleText)});
  }
  if (v.sampled) {
    txGraph_->addSample(v.txSample);
    rxGraph_->addSample(v.rxSample);
  }
}

QWidget* MakeLinkStatusPanel(const PageContext& context, QWidget* parent) {
  return new CLinkStatusDlg(context, parent);
}

}  // namespace ov
