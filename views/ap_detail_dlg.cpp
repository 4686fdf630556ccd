#include "views/ap_detail_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"
#include "widgets/colorref.h"
#include "widgets/progress_ctrl_x.h"

namespace ov {

namespace {

// Network names and attributes come from the air: never read as markup. A text wider than its
// place is cut, and whole in the tooltip.
QLabel* ValueLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  return label;
}

void SetValue(QLabel* label, const std::string& text) {
  label->setText(QString::fromStdString(text));
  label->setToolTip(label->text());
}

QLabel* NameLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  return label;
}

QGridLayout* FieldGrid(QWidget* tab) {
  auto* grid = new QGridLayout(tab);
  grid->setContentsMargins(8, 6, 8, 6);
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(2);
  return grid;
}

// Pairs of name and value, filled down `rows` rows and then on into the next pair of columns.
template <size_t N>
void AddFields(QGridLayout* grid, QWidget* tab, const LanguageKey (&names)[N], QLabel** values, int rows) {
  for (size_t i = 0; i < N; ++i) {
    const int row = static_cast<int>(i) % rows;
    const int column = static_cast<int>(i) / rows * 2;
    grid->addWidget(NameLabel(UiText(names[i]), tab), row, column);
    values[i] = ValueLabel(tab);
    grid->addWidget(values[i], row, column + 1);
    grid->setColumnStretch(column + 1, 1);
  }
}

}  // namespace

CAPDetailInfoDlg::CAPDetailInfoDlg(const PageContext& context, QWidget* parent)
    : PageWidget(context, parent) {
  setObjectName(ControlName(IDD_AP_DETAIL_INFO_DLG));
  htTable_.Build();

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 6);
  tabs_ = new QTabWidget(this);
  tabs_->addTab(MakeGeneralTab(), QStringLiteral("General"));
  tabs_->addTab(MakeWpsTab(), QStringLiteral("WPS"));
  tabs_->addTab(MakeCcxTab(), QStringLiteral("CCX"));
  tabs_->addTab(MakeHtTab(), QStringLiteral("802.11n"));
  layout->addWidget(tabs_, 1);

  auto* buttons = new QVBoxLayout;
  buttons->addStretch(1);
  close_ = new QPushButton(UiText(IDS_BTN_CLOSE), this);
  close_->setAutoDefault(false);
  connect(close_, &QPushButton::clicked, this, [this] { Window().ShowLowerPanel(LOWER_PANEL_LINK_STATUS); });
  buttons->addWidget(close_);
  layout->addLayout(buttons);
}

CAPDetailInfoDlg::~CAPDetailInfoDlg() = default;

QWidget* CAPDetailInfoDlg::MakeGeneralTab() {
  auto* tab = new QWidget(tabs_);
  auto* grid = FieldGrid(tab);
  const LanguageKey names[] = {IDS_EDITPROFILE_SSID, IDS_MAC_ADDRESS,     IDS_AUTH_TYPE,
                               IDS_ENCRYP_TYPE,      IDS_CHANNEL,         IDS_SYS_NETWORKTYPE,
                               IDS_BEACON_INTERVAL};
  AddFields(grid, tab, names, general_.data(), 4);
  grid->addWidget(NameLabel(UiText(IDS_SIGNAL_STRENGTH), tab), 3, 2);
  signal_ = new CProgressCtrlX(tab);
  signal_->setCaption(QStringLiteral("%d%%"), CProgressCtrlX::CaptionMode::Percent);
  signal_->setMinimumHeight(16);
  grid->addWidget(signal_, 3, 3);

  rates_ = new QLabel(tab);
  rates_->setTextFormat(Qt::PlainText);
  rates_->setWordWrap(true);
  rates_->setFrameShape(QFrame::StyledPanel);
  rates_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  rates_->setMargin(4);
  grid->addWidget(rates_, 4, 0, 1, 4);
  grid->setRowStretch(4, 1);
  return tab;
}

QWidget* CAPDetailInfoDlg::MakeWpsTab() {
  auto* tab = new QWidget(tabs_);
  const LanguageKey names[kWpsFieldCount] = {
      IDS_AUTH_TYPE,        IDS_ENCRYP_TYPE,  IDS_WPS_CONFIG_METH,     IDS_WPS_DEVICE_PW_ID,
      IDS_WPS_SELECTED_REG, IDS_WPS_STATE,    IDS_WPS_VERSION,         IDS_WPS_AP_SETUP_LOCKED,
      IDS_WPS_UUID_E,       IDS_WPS_RF_BAND};
  auto* grid = FieldGrid(tab);
  AddFields(grid, tab, names, wps_.data(), 5);
  grid->setRowStretch(5, 1);
  return tab;
}

QWidget* CAPDetailInfoDlg::MakeCcxTab() {
  auto* tab = new QWidget(tabs_);
  auto* grid = FieldGrid(tab);
  const QString names[] = {UiText(IDS_CCKM), QStringLiteral("Cmic"), QStringLiteral("Ckip")};
  for (int i = 0; i < static_cast<int>(CcxField::Count); ++i) {
    grid->addWidget(NameLabel(names[i], tab), i, 0);
    ccx_[i] = ValueLabel(tab);
    grid->addWidget(ccx_[i], i, 1);
  }
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(static_cast<int>(CcxField::Count), 1);
  return tab;
}

QWidget* CAPDetailInfoDlg::MakeHtTab() {
  htTree_ = new QTreeWidget(tabs_);
  htTree_->setColumnCount(2);
  htTree_->setHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
  htTree_->setRootIsDecorated(true);
  htTree_->setUniformRowHeights(true);
  htTree_->setSelectionMode(QAbstractItemView::SingleSelection);
  htTree_->header()->setStretchLastSection(true);
  htTree_->header()->setSectionResizeMode(0, QHeaderView::Interactive);
  htTree_->setColumnWidth(0, 340);
  return htTree_;
}

void CAPDetailInfoDlg::SetEntry(std::span<const uint8_t> entry) { entry_.assign(entry.begin(), entry.end()); }

void CAPDetailInfoDlg::LoadValues() {
  const ap_detail::ApDetail detail = ap_detail::DescribeApDetail(entry_, htTable_);
  tabs_->setCurrentIndex(kTabGeneral);

  const ap_detail::GeneralTab& g = detail.general;
  const std::string* general[] = {&g.ssid,    &g.macAddress,  &g.authentication, &g.encryption,
                                  &g.channel, &g.networkType, &g.beaconInterval};
  for (size_t i = 0; i < std::size(general); ++i) SetValue(general_[i], *general[i]);
  signal_->setBarColour(FromColorRef(g.signalColour));
  signal_->setPosition(g.signalPercent);
  rates_->setText(QString::fromStdString(detail.rates));

  SetValue(ccx_[0], detail.ccx.cckm);
  SetValue(ccx_[1], detail.ccx.cmic);
  SetValue(ccx_[2], detail.ccx.ckip);

  SetValue(wps_[0], detail.wps.authentication);
  SetValue(wps_[1], detail.wps.encryption);
  for (size_t i = 0; i < detail.wps.fields.size(); ++i) SetValue(wps_[2 + i], detail.wps.fields[i]);

  FillHtTree(detail.htTree);
  tabs_->setTabVisible(kTabHt, detail.showHtTab);
}

void CAPDetailInfoDlg::FillHtTree(const std::vector<ap_detail::HtTreeRow>& rows) {
  htTree_->clear();
  QTreeWidgetItem* heading = nullptr;
  for (const ap_detail::HtTreeRow& row : rows) {
    const QStringList texts{QString::fromStdString(row.property), QString::fromStdString(row.value)};
    if (row.heading || !heading) {
      heading = new QTreeWidgetItem(htTree_, texts);
    } else {
      new QTreeWidgetItem(heading, texts);
    }
  }
  htTree_->expandAll();
}

QWidget* MakeApDetailPanel(const PageContext& context, QWidget* parent) {
  return new CAPDetailInfoDlg(context, parent);
}

bool OpenApDetail(COvUI2007Dlg& window, std::span<const uint8_t> entry) {
  auto* panel = dynamic_cast<CAPDetailInfoDlg*>(window.LowerPanel(LOWER_PANEL_AP_DETAIL));
  if (!panel) return false;
  if (panel->isVisible()) panel->hide();
  panel->SetEntry(entry);
  window.ShowLowerPanel(LOWER_PANEL_AP_DETAIL);
  if (!window.State().Expanded) window.ToggleMoreLess();
  return true;
}

}  // namespace ov
