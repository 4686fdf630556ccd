#pragma once
#include <QDialog>
#include <QPointer>
#include <QRect>
#include <QUrl>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>

#include "nativewifi/station_profile.h"
#include "shell/ui/page_contract.h"
#include "shell/ui/shell_state.h"
#include "shell/ui/tab_bar_layout.h"

class QScrollArea;
class QWidget;

// The configuration window: a bar of page buttons over the page area (the upper frame), and one
// panel at a time in the lower frame (the link status unless a page has put an editor or a
// prompt there). The monitor window creates it, keeps a QPointer to it and takes it down with
// Teardown; the user's close only hides it.
namespace ov {

class ActionQueue;
class BarButton;
class COvUI2007Dlg;
class RadioPageHost;

// What the window needs from the monitor and the parts it does not own. The defaults suit a
// window with no adapter behind it (the preview, tests).
class MainWindowHost {
 public:
  virtual ~MainWindowHost() = default;
  // The single sign-on component is installed: the SSO page is offered.
  virtual bool SsoInstalled() { return false; }
  // The wireless interface is connected (the WMM page is offered only then).
  virtual bool AdapterConnected() { return false; }
  // The adapter parameter "Radio" says on ("0", or no reading).
  virtual bool RadioParameterOn() { return true; }
  // The radio command's work beyond the window: the software radio through the wireless
  // client, the "Radio" parameter, the site survey's marks and its rescan. `radioOn` is the new
  // state, already in ShellState::RadioOn.
  virtual void SwitchRadio(bool radioOn) { (void)radioOn; }
  // The monitor's scan list (BssidListBuffer), which the site survey sorts in place; empty
  // without a monitor.
  virtual std::span<uint8_t> ScanList() { return {}; }
  // Asks the action queue for a scan (QueueScan); the result arrives as 0x404.
  virtual void QueueScan() {}
  // A scan the queue started has not completed (MonitorBusy).
  virtual bool ScanInProgress() { return false; }
  // The wireless service answers on the adapter's interface; the site survey's controls wait
  // for it.
  virtual bool WirelessServiceAvailable() { return true; }
  // The monitor's flags the site survey's Connect and Add to Profile weigh.
  struct ConnectPolicy {
    bool wpaReady = false;
    bool wapiSupported = false;
    bool standardUserMayManageProfiles = false;  // [Advance] "AllowStandardUserSetProfile"
  };
  virtual ConnectPolicy SurveyConnectPolicy() { return {}; }
  // A connection made without a stored profile (the site survey's): the record is queued as an
  // apply action and the queue runs when it says so; the station and WPS profiles are then no
  // longer in use. True when the record was applied at once.
  virtual bool ApplyStationProfile(std::unique_ptr<StationProfile> record) {
    (void)record;
    return false;
  }
  // The most recently applied profile (CurrentProfile) names the access point to join
  // (UseBssid 1): pages that send the CCX word then send it in its by-BSSID form.
  virtual bool CurrentProfileUsesBssid() { return false; }
  // Opens a document or an address with the desktop's viewer (xdg-open). `failed` runs, on the
  // UI thread and possibly before the call returns, when no viewer took it: no opener installed,
  // or the opener reported an error (no program for the type, a missing file).
  virtual void OpenUrl(const QUrl& url, std::function<void()> failed);
  // The monitor's radio values and operations the advanced page uses; null without a monitor.
  virtual RadioPageHost* RadioPages() { return nullptr; }
  // The action queue of the selected adapter: profile activation (ApplyActiveConfiguration) and
  // the flags saying where the connection came from. Null without an adapter.
  virtual ActionQueue* ActivationQueue() { return nullptr; }
  // [Advance] "ActiveProfileIcon" of the program INI: the profile list marks the active row.
  virtual bool ShowActiveProfileIcon() { return true; }
  // The profile list applied `name`: the monitor's last-applied profile name.
  virtual void NoteAppliedProfile(const std::string& name) { (void)name; }
  // Where the EAP configuration workers and those who start them post 0x407 and 0x412: the
  // monitor window. Empty without a monitor (nothing is posted).
  virtual MessageTarget MonitorTarget() { return {}; }
};

// The page classes that exist: later parts register theirs into the bar's slots and the lower
// frame's panel numbers. A slot without a page shows an empty page area.
class PageRegistry {
 public:
  void RegisterPage(TabButton button, PageFactory factory);
  void RegisterLowerPanel(int panel, PageFactory factory);
  const PageFactory* PageFor(TabButton button) const;
  const PageFactory* LowerPanelFor(int panel) const;

 private:
  std::map<int, PageFactory> pages_;
  std::map<int, PageFactory> panels_;
};

struct LowerPanelEntry {
  int panel;
  int dialogTemplate;
  const char* panelClass;
};
// Panels 0 to 6 and 8 to 10 with their classes.
const std::array<LowerPanelEntry, 10>& LowerPanels();

// The manual beside the program, opened by Help and F1.
inline constexpr char kHelpFile[] = "manual/index.html";

// Placeholder rectangles of the window (client coordinates, pixels). The caption-less layout
// keeps the same client layout: the window simply has no caption above it.
namespace main_window_layout {
inline constexpr int kTabButtonWidth = 90;
inline constexpr int kTabButtonHeight = 64;
inline constexpr int kScrollSlotWidth = 28;
inline constexpr int kWidth = kScrollSlotWidth + kVisibleTabSlots * kTabButtonWidth + kScrollSlotWidth;
inline constexpr QRect kLeftScrollSlot{0, 0, kScrollSlotWidth, kTabButtonHeight};
inline constexpr QRect kRightScrollSlot{kWidth - kScrollSlotWidth, 0, kScrollSlotWidth,
                                        kTabButtonHeight};
inline constexpr QRect kUpperFrame{0, kTabButtonHeight, kWidth, 300};
inline constexpr QRect kMoreLess{kWidth - 48, 368, 40, 22};
inline constexpr QRect kCloseX{kWidth - 80, 368, 28, 22};
inline constexpr QRect kLowerFrame{0, 394, kWidth, 200};
// Expanded: down to the lower frame's bottom. Collapsed: just below the more/less button, or in
// the caption-less layout just into the lower frame's top.
inline constexpr int kExpandedHeight = kLowerFrame.y() + kLowerFrame.height();
inline constexpr int kCollapsedHeight = kMoreLess.y() + kMoreLess.height() + 2;
inline constexpr int kCollapsedHeightSmallScreen = kLowerFrame.y() + 5;
inline constexpr int kButtonFontCellHeight = 20;
}  // namespace main_window_layout

class COvUI2007Dlg : public QDialog {
  Q_OBJECT

 public:
  struct Options {
    Options(std::filesystem::path dir = {}) : programDir(std::move(dir)) {}  // NOLINT: implicit
    std::filesystem::path programDir;  // the manual and the program INI live here
    PageServices services;             // handed to every page and panel
    // The screen area the window must fit in; empty: the available area of its screen.
    QRect availableScreen;
  };

  COvUI2007Dlg(ShellState& state, MainWindowHost& host, const PageRegistry& registry,
               Options options, QWidget* parent = nullptr);
  ~COvUI2007Dlg() override;

  // False once a page or panel could not be made: no further page or panel is made.
  bool Initialised() const { return initialised_; }
  // Pages and panels are made when first asked for (shown, or a message for them), and the
  // rest one per event-loop turn once the window has been shown, so the window appears
  // without waiting for pages the user has not opened. This makes every remaining one now.
  bool MakeAllPages();

  // Commands: 1329 more/less, 1332 close, 6248 radio, 6253 help, 6256 and 6257 scrolling, and
  // the page buttons' own numbers. False for a number the window does not handle.
  bool OnCommand(int commandId);

  void ToggleMoreLess();
  // The more/less button's face and tooltip in the state of Expanded (the monitor's timer 15).
  void SyncMoreLessButton();
  void ShowLowerPanel(int panel);
  void ShowPage(TabButton button);
  std::optional<TabButton> CurrentPage() const { return currentPage_; }
  // Per tick: WPS is offered unless the adapter is of the first generation; WMM also needs a
  // connection.
  void UpdateWpsButton();
  void UpdateWmmButton();
  // F1: the manual, only when it exists.
  void OnHelpKey();

  // The monitor's way to destroy the window: hidden at once, deleted when no modal loop of its
  // pages runs any more (their open message boxes and file dialogs are closed first).
  void Teardown();
  bool TornDown() const { return tornDown_; }

  // The page or panel, made on first use; null when none is registered or it could not be made.
  QWidget* Page(TabButton button);
  QWidget* LowerPanel(int panel);
  BarButton* Button(TabButton button) const { return buttons_[static_cast<int>(button)]; }
  BarButton* ControlButton(int controlId) const;
  const TabBarLayout& BarLayout() const { return layout_; }
  ShellState& State() const { return state_; }
  QRect PageArea() const { return main_window_layout::kUpperFrame; }
  QRect LowerFrame() const { return main_window_layout::kLowerFrame; }
  int ExpandedHeight() const { return main_window_layout::kExpandedHeight; }
  int CollapsedHeight() const;
  // The fixed layout, inside a scroll area that shows bars only when the screen is too small
  // for it: then the window takes what the screen has and everything stays reachable.
  QWidget* Body() const { return body_; }
  QScrollArea* ScrollArea() const { return scroller_; }
  bool Scrolling() const { return scrolling_; }
  // What the tray icon says (state and network), read by assistive technology as the window's
  // description, since the tray itself is out of a screen reader's reach.
  void SetStatusText(const QString& text);
  // Tab follows the layout: the bar, the page, the window's buttons, the lower panel.
  void OrderFocusChain();
  // The message shown when the manual could not be opened.
  static QString HelpFailureText(const QString& manualPath, bool manualExists);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildTabBar();
  void MakeNextPageLater();
  void LayoutTabBar();
  TabBarOptions CurrentBarOptions() const;
  void OnRadio();
  void OnHelp();
  void ApplyHeight();
  QRect AvailableScreen() const;
  void ApplyRadioFace();
  BarButton* MakeBarButton(int controlId, QWidget* parent);

  ShellState& state_;
  MainWindowHost& host_;
  const PageRegistry& registry_;
  Options options_;
  PageContext context_;
  bool initialised_ = true;
  bool fillScheduled_ = false;
  bool tornDown_ = false;

  QScrollArea* scroller_ = nullptr;
  QWidget* body_ = nullptr;       // everything of the fixed layout
  bool scrolling_ = false;
  QWidget* container_ = nullptr;  // the tab container: bar and page area
  QWidget* pageArea_ = nullptr;
  TabBarLayout layout_;
  std::array<BarButton*, kTabButtonCount> buttons_{};
  std::array<QWidget*, kTabButtonCount> pages_{};
  std::array<BarButton*, kFillerCount> fillers_{};
  BarButton* scrollLeft_ = nullptr;
  BarButton* scrollRight_ = nullptr;
  BarButton* moreLess_ = nullptr;
  BarButton* closeX_ = nullptr;
  std::map<int, QWidget*> panels_;
  std::optional<TabButton> currentPage_;
  bool wpsEnabled_ = true;
  bool wmmEnabled_ = true;
};

}  // namespace ov
