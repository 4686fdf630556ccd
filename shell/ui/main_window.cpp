#include "shell/ui/main_window.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <system_error>

#include "driver/params/program_options.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/message_box.h"
#include "shell/ui/shell_icons.h"
#include "shell/ui/startup.h"
#include "shell/ui/ui_text.h"
#include "widgets/accessibility.h"
#include "widgets/bar_button.h"
#include "widgets/modal_guard.h"

namespace ov {

namespace L = main_window_layout;

namespace {

constexpr char kScrollLeftText[] = "<==";
constexpr char kScrollRightText[] = "==>";
constexpr char kCloseXText[] = "X";

// The CCX page's button is drawn in its own colours.
bool HasAccent(TabButton button) { return button == TabButton::CcxConfig; }

// The caption and frame a window manager adds around a captioned window, until the window is
// mapped and the real frame is known.
constexpr int kAssumedCaptionHeight = 32;
constexpr int kAssumedFrameWidth = 2;

// Without a vendor driver (the wireless service's own interface) only these pages and panels
// have their work: the profiles and the survey go through the wireless service, the editors
// edit profile data, About lists versions. The others ask the driver for everything.
bool WorksWithoutVendorDriver(TabButton button) {
  return button == TabButton::Profile || button == TabButton::SiteSurvey || button == TabButton::About;
}
bool PanelWorksWithoutVendorDriver(int panel) {
  return panel == LOWER_PANEL_HIDDEN_SSID || panel == LOWER_PANEL_PROFILE_EDITOR ||
         panel == LOWER_PANEL_SECURITY_EDITOR || panel == LOWER_PANEL_AP_DETAIL ||
         panel == LOWER_PANEL_PEAP_SETTING;
}

// What stands in for a page or panel that needs the vendor driver.
QWidget* MakeNotAvailable(QWidget* parent) {
  auto* page = new QWidget(parent);
  page->setObjectName(QStringLiteral("NotAvailableWithAdapter"));
  auto* layout = new QVBoxLayout(page);
  auto* text = new QLabel(UiText(IDS_NOT_AVAILABLE_ADAPTER), page);
  text->setObjectName(QStringLiteral("NotAvailableText"));
  text->setAlignment(Qt::AlignCenter);
  text->setWordWrap(true);
  text->setFont(PageFont());
  layout->addWidget(text);
  return page;
}

}  // namespace

void MainWindowHost::OpenUrl(const QUrl& url, std::function<void()> failed) {
  const auto fail = [failed] {
    if (failed) failed();
  };
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) {
    fail();
    return;
  }
  // xdg-open ends with a non-zero code when it finds no program for the document.
  auto* process = new QProcess(QCoreApplication::instance());
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  QObject::connect(process, &QProcess::finished, process,
                   [process, fail](int code, QProcess::ExitStatus status) {
                     if (status != QProcess::NormalExit || code != 0) fail();
                     process->deleteLater();
                   });
  QObject::connect(process, &QProcess::errorOccurred, process,
                   [process, fail](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     fail();
                     process->deleteLater();
                   });
  process->start(opener, {url.toString()});
}

void PageRegistry::RegisterPage(TabButton button, PageFactory factory) {
  pages_[static_cast<int>(button)] = std::move(factory);
}

void PageRegistry::RegisterLowerPanel(int panel, PageFactory factory) {
  panels_[panel] = std::move(factory);
}

const PageFactory* PageRegistry::PageFor(TabButton button) const {
  auto found = pages_.find(static_cast<int>(button));
  return found != pages_.end() && found->second ? &found->second : nullptr;
}

const PageFactory* PageRegistry::LowerPanelFor(int panel) const {
  auto found = panels_.find(panel);
  return found != panels_.end() && found->second ? &found->second : nullptr;
}

const std::array<LowerPanelEntry, 10>& LowerPanels() {
  static const std::array<LowerPanelEntry, 10> panels = {{
      {LOWER_PANEL_LINK_STATUS, 170, "CLinkStatusDlg"},
      {LOWER_PANEL_HIDDEN_SSID, 180, "CHiddenSsidDlg"},
      {LOWER_PANEL_PROFILE_EDITOR, 179, "CProfileEditorDlg"},
      {LOWER_PANEL_SECURITY_EDITOR, 181, "CSecurityEditorDlg"},
      {LOWER_PANEL_AP_DETAIL, 257, "CAPDetailInfoDlg"},
      {LOWER_PANEL_AUTHEN_STATUS, 2244, "CAuthenStatusDlg"},
      {LOWER_PANEL_WPS_PROFILE, 247, "CPageWPSProfile"},
      {LOWER_PANEL_PEAP_SETTING, 165, "CPeapSettingDlg"},
      {LOWER_PANEL_ADD_BLOCK_ACK, 3242, "CAddBlockAckDlg"},
      {LOWER_PANEL_DELETE_BLOCK_ACK, 3245, "CDeleteBlockAckDlg"},
  }};
  return panels;
}

COvUI2007Dlg::COvUI2007Dlg(ShellState& state, MainWindowHost& host, const PageRegistry& registry,
                           Options options, QWidget* parent)
    : QDialog(parent),
      state_(state),
      host_(host),
      registry_(registry),
      options_(std::move(options)),
      context_{*this, state, host, options_.services} {
  setObjectName(ControlName(IDD_MAIN_WINDOW));
  setWindowTitle(UiText(IDS_ORVANE_CONFIG_TITLE));
  setWindowIcon(AppIcon());
  setModal(false);
  if (state_.SmallScreen) {
    // No caption, system menu or sizing frame: the window is dragged by its body instead.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  } else {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  }

  // The fixed layout lives on the body; the scroll area around it shows bars only when the
  // screen is smaller than the layout.
  scroller_ = new QScrollArea(this);
  scroller_->setFrameShape(QFrame::NoFrame);
  scroller_->setWidgetResizable(false);
  scroller_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroller_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Never a tab stop of its own: the focus would vanish into it. It scrolls to the focused
  // control by itself.
  scroller_->setFocusPolicy(Qt::NoFocus);
  scroller_->setAccessibleName(windowTitle());
  auto* frame = new QVBoxLayout(this);
  frame->setContentsMargins(0, 0, 0, 0);
  frame->setSpacing(0);
  frame->addWidget(scroller_);
  body_ = new QWidget;
  body_->setObjectName(QStringLiteral("body"));
  scroller_->setWidget(body_);

  container_ = new QWidget(body_);
  container_->setObjectName(ControlName(IDD_TAB_CONTAINER));
  container_->setGeometry(0, 0, L::kWidth, L::kUpperFrame.y() + L::kUpperFrame.height());
  pageArea_ = new QWidget(container_);
  pageArea_->setObjectName(ControlName(IDC_UPPER_FRAME));
  pageArea_->setGeometry(L::kUpperFrame);

  moreLess_ = MakeBarButton(IDC_MORE_LESS, body_);
  moreLess_->setGeometry(L::kMoreLess);
  moreLess_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  SyncMoreLessButton();

  closeX_ = MakeBarButton(IDC_CLOSE_X, body_);
  closeX_->setGeometry(L::kCloseX);
  // The arrow-like faces of the window's own buttons stay pictures in every layout.
  closeX_->setFace(QString::fromLatin1(kCloseXText), BitmapIcon(IDB_CLOSE_X));
  closeX_->setTextOnly(false);
  closeX_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  closeX_->setToolTip(UiText(IDS_MIN_WINDOW));
  closeX_->setAccessibleName(UiText(IDS_MIN_WINDOW));
  closeX_->setVisible(state_.SmallScreen);

  BuildTabBar();
  // The link status is the lower frame's panel; it is made with the first idle turn after the
  // window appears (or when asked for), and shown then.
  state_.LowerPanel = LOWER_PANEL_LINK_STATUS;
  UpdateWpsButton();
  UpdateWmmButton();
  ApplyHeight();
}

COvUI2007Dlg::~COvUI2007Dlg() = default;

BarButton* COvUI2007Dlg::MakeBarButton(int controlId, QWidget* parent) {
  auto* button = new BarButton(parent);
  button->setObjectName(ControlName(controlId));
  button->setFont(UiFont(L::kButtonFontCellHeight));
  button->setTextOnly(state_.SmallScreen);
  connect(button, &QToolButton::clicked, this, [this, controlId] { OnCommand(controlId); });
  return button;
}

void COvUI2007Dlg::BuildTabBar() {
  scrollLeft_ = MakeBarButton(IDC_SCROLL_LEFT, container_);
  scrollLeft_->setGeometry(L::kLeftScrollSlot);
  scrollLeft_->setFace(state_.SmallScreen ? QString::fromLatin1(kScrollLeftText) : QString(),
                       BitmapIcon(IDB_SCROLL_LEFT));
  scrollLeft_->setIconWhenDisabled(false);
  scrollLeft_->setToolTip(UiText(IDS_BTN_SCROLL_LEFT));
  scrollLeft_->setAccessibleName(UiText(IDS_BTN_SCROLL_LEFT));

  for (const TabButtonEntry& entry : TabButtons()) {
    const int index = static_cast<int>(entry.button);
    BarButton* button = MakeBarButton(entry.commandId, container_);
    buttons_[index] = button;
    button->setFace(UiText(entry.label), BitmapIcon(entry.bitmap));
    button->setAccent(HasAccent(entry.button));
    button->resize(L::kTabButtonWidth, L::kTabButtonHeight);
    if (entry.pageTemplate != 0) button->setCheckable(true);
  }
  ApplyRadioFace();

  BarButton* ht = Button(TabButton::Ht80211n);
  ht->setEnabled(false);
  ht->hide();

  scrollRight_ = MakeBarButton(IDC_SCROLL_RIGHT, container_);
  scrollRight_->setGeometry(L::kRightScrollSlot);
  scrollRight_->setFace(state_.SmallScreen ? QString::fromLatin1(kScrollRightText) : QString(),
                        BitmapIcon(IDB_SCROLL_RIGHT));
  scrollRight_->setIconWhenDisabled(false);
  scrollRight_->setToolTip(UiText(IDS_BTN_SCROLL_RIGHT));
  scrollRight_->setAccessibleName(UiText(IDS_BTN_SCROLL_RIGHT));
  for (auto& filler : fillers_) {
    filler = MakeBarButton(IDC_TAB_FILLER, container_);
    filler->resize(L::kTabButtonWidth, L::kTabButtonHeight);
    filler->setEnabled(false);
    filler->setDecorative(true);
  }

  LayoutTabBar();
  for (const TabButtonEntry& entry : TabButtons()) {
    if (entry.pageTemplate != 0 && layout_.Offered(entry.button)) {
      ShowPage(entry.button);
      break;
    }
  }
}

QWidget* COvUI2007Dlg::Page(TabButton button) {
  const int index = static_cast<int>(button);
  if (pages_[index] != nullptr || !initialised_) return pages_[index];
  const PageFactory* factory = registry_.PageFor(button);
  if (factory == nullptr) return nullptr;
  QWidget* page = state_.Adapter.noVendorDriver && !WorksWithoutVendorDriver(button)
                      ? MakeNotAvailable(pageArea_)
                      : (*factory)(context_, pageArea_);
  if (page == nullptr) {
    initialised_ = false;
    return nullptr;
  }
  page->setParent(pageArea_);
  page->setGeometry(0, 0, L::kUpperFrame.width(), L::kUpperFrame.height());
  page->hide();
  pages_[index] = page;
  return page;
}

QWidget* COvUI2007Dlg::LowerPanel(int panel) {
  auto found = panels_.find(panel);
  if (found != panels_.end() || !initialised_) return found != panels_.end() ? found->second : nullptr;
  QWidget* widget = nullptr;
  const PageFactory* factory = registry_.LowerPanelFor(panel);
  if (state_.Adapter.noVendorDriver && !PanelWorksWithoutVendorDriver(panel) &&
      (factory != nullptr || panel == LOWER_PANEL_LINK_STATUS)) {
    widget = MakeNotAvailable(body_);
  } else if (factory != nullptr) {
    widget = (*factory)(context_, body_);
    if (widget == nullptr) {
      initialised_ = false;
      return nullptr;
    }
    widget->setParent(body_);
  } else if (panel == LOWER_PANEL_LINK_STATUS) {
    // The link status always has its place, empty until its page exists.
    widget = new QWidget(body_);
    widget->setObjectName(QStringLiteral("CLinkStatusDlg"));
  } else {
    return nullptr;
  }
  widget->setGeometry(L::kLowerFrame);
  widget->setVisible(panel == state_.LowerPanel);
  panels_[panel] = widget;
  return widget;
}

bool COvUI2007Dlg::MakeAllPages() {
  for (const TabButtonEntry& entry : TabButtons()) {
    if (!initialised_) break;
    Page(entry.button);
  }
  for (const LowerPanelEntry& entry : LowerPanels()) {
    if (!initialised_) break;
    LowerPanel(entry.panel);
  }
  return initialised_;
}

void COvUI2007Dlg::MakeNextPageLater() {
  QTimer::singleShot(0, this, [this] {
    // A torn-down window only waits for its deletion; the monitor that owns the page registry
    // and the state may be gone before that.
    if (tornDown_) return;
    const int current = state_.LowerPanel;
    if (initialised_ && !panels_.count(current) &&
        (current == LOWER_PANEL_LINK_STATUS || registry_.LowerPanelFor(current) != nullptr)) {
      LowerPanel(current);
      MakeNextPageLater();
      return;
    }
    for (const TabButtonEntry& entry : TabButtons()) {
      const int index = static_cast<int>(entry.button);
      if (!initialised_) return;
      if (pages_[index] == nullptr && registry_.PageFor(entry.button) != nullptr) {
        Page(entry.button);
        MakeNextPageLater();
        return;
      }
    }
    for (const LowerPanelEntry& entry : LowerPanels()) {
      if (!initialised_) return;
      if (!panels_.count(entry.panel) && registry_.LowerPanelFor(entry.panel) != nullptr) {
        LowerPanel(entry.panel);
        MakeNextPageLater();
        return;
      }
    }
  });
}

void COvUI2007Dlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The pages' layouts have placed their controls only now.
  OrderFocusChain();
  if (!fillScheduled_) {
    fillScheduled_ = true;
    MakeNextPageLater();
  }
}

TabBarOptions COvUI2007Dlg::CurrentBarOptions() const {
  TabBarOptions options;
  options.ssoInstalled = host_.SsoInstalled();
  const std::string ini = (options_.programDir / kProgramIniName).string();
  options.offer80211n = ReadProgramOptions(ini).page80211n;
  options.htCapable = state_.Adapter.htCapable;
  std::error_code ec;
  options.helpFileExists = std::filesystem::is_regular_file(options_.programDir / kHelpFile, ec);
  return options;
}

void COvUI2007Dlg::LayoutTabBar() {
  layout_.Layout(CurrentBarOptions());
  const bool scrolling = layout_.ScrollButtonsShown();
  for (const TabButtonEntry& entry : TabButtons()) {
    BarButton* button = Button(entry.button);
    if (button == nullptr) continue;
    const int slot = layout_.Slot(entry.button);
    if (slot >= 0) {
      button->move(TabSlotX(slot, scrolling, L::kTabButtonWidth, L::kScrollSlotWidth), 0);
    }
    bool enabled = layout_.Enabled(entry.button);
    if (entry.button == TabButton::Wps) enabled = enabled && wpsEnabled_;
    if (entry.button == TabButton::Wmm) enabled = enabled && wmmEnabled_;
    button->setEnabled(enabled);
    button->setVisible(slot >= 0);
  }
  scrollLeft_->setVisible(scrolling);
  scrollRight_->setVisible(scrolling);
  scrollLeft_->setEnabled(layout_.LeftScrollEnabled());
  scrollRight_->setEnabled(layout_.RightScrollEnabled());
  const std::vector<int> fillerSlots = layout_.FillerSlots();
  for (size_t i = 0; i < fillers_.size(); ++i) {
    const bool shown = i < fillerSlots.size();
    if (shown) fillers_[i]->move(TabSlotX(fillerSlots[i], false, L::kTabButtonWidth, 0), 0);
    fillers_[i]->setVisible(shown);
  }
  OrderFocusChain();
  if (currentPage_ == TabButton::Ht80211n && !layout_.Offered(TabButton::Ht80211n)) {
    ShowPage(TabButton::SiteSurvey);
  }
}

void COvUI2007Dlg::ShowPage(TabButton button) {
  const TabButtonEntry& entry = TabButtonInfo(button);
  if (entry.pageTemplate == 0) return;
  currentPage_ = button;
  for (const TabButtonEntry& other : TabButtons()) {
    const int index = static_cast<int>(other.button);
    if (buttons_[index] && other.pageTemplate != 0) buttons_[index]->setChecked(other.button == button);
    if (pages_[index] && other.button != button) pages_[index]->hide();
  }
  if (QWidget* page = Page(button)) page->show();
  OrderFocusChain();
}

bool COvUI2007Dlg::OnCommand(int commandId) {
  switch (commandId) {
    case IDC_MORE_LESS:
      ToggleMoreLess();
      return true;
    case IDC_CLOSE_X:
      reject();
      return true;
    case IDC_TAB_RADIO:
      OnRadio();
      return true;
    case IDC_TAB_HELP:
      OnHelp();
      return true;
    case IDC_SCROLL_LEFT:
      layout_.ScrollLeft(CurrentBarOptions());
      LayoutTabBar();
      return true;
    case IDC_SCROLL_RIGHT:
      layout_.ScrollRight(CurrentBarOptions());
      LayoutTabBar();
      return true;
    default:
      break;
  }
  const TabButtonEntry* entry = TabButtonByCommand(commandId);
  if (entry == nullptr || entry->pageTemplate == 0) return false;
  ShowPage(entry->button);
  return true;
}

int COvUI2007Dlg::CollapsedHeight() const {
  return state_.SmallScreen ? L::kCollapsedHeightSmallScreen : L::kCollapsedHeight;
}

QRect COvUI2007Dlg::AvailableScreen() const {
  if (!options_.availableScreen.isEmpty()) return options_.availableScreen;
  const QScreen* shown = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  return shown != nullptr ? shown->availableGeometry() : QRect(0, 0, 1 << 14, 1 << 14);
}

void COvUI2007Dlg::ApplyHeight() {
  const QSize body(L::kWidth, state_.Expanded ? ExpandedHeight() : CollapsedHeight());
  body_->setFixedSize(body);

  QSize frame(0, 0);
  if (!state_.SmallScreen) {
    const QSize real = frameGeometry().size() - geometry().size();
    frame = isVisible() && real.height() > 0
                ? real
                : QSize(2 * kAssumedFrameWidth, kAssumedCaptionHeight + kAssumedFrameWidth);
  }
  const QRect screenArea = AvailableScreen();
  const QSize room = screenArea.size() - frame;
  scrolling_ = body.width() > room.width() || body.height() > room.height();
  if (!scrolling_) {
    scroller_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFixedSize(body);
    return;
  }

  // As much of the layout as the screen holds; a bar in one direction takes room from the other.
  scroller_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  scroller_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroller_);
  QSize size = body.boundedTo(room);
  if (size.width() < body.width()) size.setHeight(std::min(body.height() + bar, room.height()));
  if (size.height() < body.height()) size.setWidth(std::min(body.width() + bar, room.width()));
  setMinimumSize(size.boundedTo(QSize(160, 120)));
  setMaximumSize(body + QSize(bar, bar));
  resize(size);
  if (isVisible()) {
    // Keep the whole window, frame included, on the screen.
    const QSize outer = size + frame;
    const int x = std::clamp(pos().x(), screenArea.left(),
                             std::max(screenArea.left(), screenArea.right() + 1 - outer.width()));
    const int y = std::clamp(pos().y(), screenArea.top(),
                             std::max(screenArea.top(), screenArea.bottom() + 1 - outer.height()));
    move(x, y);
  }
}

QString COvUI2007Dlg::HelpFailureText(const QString& manualPath, bool manualExists) {
  if (!manualExists) return QStringLiteral("The manual is not installed:\n%1").arg(manualPath);
  return QStringLiteral("No program could show the manual:\n%1\n\nInstall a web browser to read it.")
      .arg(manualPath);
}

void COvUI2007Dlg::ToggleMoreLess() {
  state_.Expanded = !state_.Expanded;
  ApplyHeight();
  SyncMoreLessButton();
}

void COvUI2007Dlg::SyncMoreLessButton() {
  if (state_.Expanded) {
    moreLess_->setFace(QString(), BitmapIcon(IDB_LESS));
    moreLess_->setToolTip(UiText(IDS_BTN_LESS));
    moreLess_->setAccessibleName(UiText(IDS_BTN_LESS));
  } else {
    moreLess_->setFace(QString(), BitmapIcon(IDB_MORE));
    moreLess_->setToolTip(UiText(IDS_BTN_MORE));
    moreLess_->setAccessibleName(UiText(IDS_BTN_MORE));
  }
  // The face is the arrow alone, also in the caption-less layout.
  moreLess_->setTextOnly(false);
  moreLess_->setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void COvUI2007Dlg::ShowLowerPanel(int panel) {
  for (auto& [number, widget] : panels_) widget->hide();
  state_.LowerPanel = panel;
  if (QWidget* widget = LowerPanel(panel)) widget->show();
  OrderFocusChain();
}

void COvUI2007Dlg::OrderFocusChain() { OrderFocusByLayout(body_); }

void COvUI2007Dlg::SetStatusText(const QString& text) { setAccessibleDescription(text); }

BarButton* COvUI2007Dlg::ControlButton(int controlId) const {
  return findChild<BarButton*>(ControlName(controlId));
}

void COvUI2007Dlg::UpdateWpsButton() {
  wpsEnabled_ = !state_.Adapter.isFirstGeneration;
  if (BarButton* button = Button(TabButton::Wps)) {
    button->setEnabled(wpsEnabled_ && layout_.Enabled(TabButton::Wps));
  }
}

void COvUI2007Dlg::UpdateWmmButton() {
  wmmEnabled_ = !state_.Adapter.isFirstGeneration && host_.AdapterConnected();
  if (BarButton* button = Button(TabButton::Wmm)) {
    button->setEnabled(wmmEnabled_ && layout_.Enabled(TabButton::Wmm));
  }
}

void COvUI2007Dlg::ApplyRadioFace() {
  BarButton* radio = Button(TabButton::Radio);
  if (radio == nullptr) return;
  const bool on = host_.RadioParameterOn();
  radio->setFace(UiText(IDS_TAB_RADIO), BitmapIcon(on ? IDB_RADIO_ON : IDB_RADIO_OFF));
  // The face's picture says on or off; a screen reader says it with the button.
  radio->setAccessibleDescription(UiText(on ? IDS_RADIOON : IDS_RADIOOFF));
}

void COvUI2007Dlg::OnRadio() {
  state_.RadioOn = !state_.RadioOn;
  host_.SwitchRadio(state_.RadioOn);
  if (BarButton* radio = Button(TabButton::Radio)) {
    radio->setFace(UiText(IDS_TAB_RADIO),
                   BitmapIcon(state_.RadioOn ? IDB_RADIO_ON : IDB_RADIO_OFF));
    radio->setAccessibleDescription(UiText(state_.RadioOn ? IDS_RADIOON : IDS_RADIOOFF));
  }
}

void COvUI2007Dlg::OnHelp() {
  // Asked even when the manual is missing: the viewer reports that, as it would for any file.
  // When no viewer took it the user is told, rather than left with a button that does nothing.
  const std::filesystem::path manual = options_.programDir / kHelpFile;
  const QString path = QString::fromStdString(manual.string());
  QPointer<COvUI2007Dlg> self(this);
  host_.OpenUrl(QUrl::fromLocalFile(path), [self, manual, path] {
    if (!self || self->TornDown()) return;
    std::error_code ec;
    const QString text = HelpFailureText(path, std::filesystem::is_regular_file(manual, ec));
    if (self->options_.services.showMessage) {
      self->options_.services.showMessage(text, self);
    } else {
      ShowMessage(text, self);
    }
  });
  if (BarButton* help = Button(TabButton::Help)) help->setDown(false);
}

void COvUI2007Dlg::OnHelpKey() {
  std::error_code ec;
  if (std::filesystem::is_regular_file(options_.programDir / kHelpFile, ec)) OnHelp();
}

void COvUI2007Dlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    OnHelpKey();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void COvUI2007Dlg::mousePressEvent(QMouseEvent* event) {
  // Without a caption the body is the handle to drag the window by.
  if (state_.SmallScreen && event->button() == Qt::LeftButton && windowHandle() != nullptr) {
    windowHandle()->startSystemMove();
    event->accept();
    return;
  }
  QDialog::mousePressEvent(event);
}

void COvUI2007Dlg::Teardown() {
  if (tornDown_) return;
  tornDown_ = true;
  DestroyWhenNoModalLoop(this);
}

}  // namespace ov
