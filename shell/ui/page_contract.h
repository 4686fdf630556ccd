#pragma once
#include <QAbstractButton>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/time/message_service.h"
#include "platform/time/timer_service.h"
#include "platform/time/window_timers.h"
#include "shell/ui/shell_state.h"

// The one contract every page of the bar, every lower panel and every dialog of the main window
// follows:
//   - Load on show: LoadValues runs each time the page becomes visible and reads the adapter key
//     (ShellState::Adapter.adapterKeyPath, read directly under the machine root), the driver
//     (services.driver) and the store (services.store). Nothing is cached across shows unless the
//     page says why.
//   - Periodic refresh only while shown: a page that gives RefreshPeriodMs() > 0 gets Refresh()
//     on its own window timer while it is visible; the timer stops when it hides, unless
//     RefreshWhileHidden() says the page keeps polling.
//   - Writes only on an explicit Apply, Setup, check-box or button action; LoadValues and Refresh
//     never write the registry, the driver or the store.
//   - Validation shows the message through the message-box seam and moves the focus to the field
//     named (RejectInput), and changes nothing else.
//   - The monitor's messages 0x401-0x412 reach the page through OnMonitorMessage, posted after the
//     monitor's own handling.
//   - The page's font is the language table's face name (PageFont).
//   - Accessible on every show: controls without a text of their own are named after the label
//     beside them or their tooltip (widgets/accessibility.h); Enter and Escape press the buttons
//     the page gives to SetKeyButtons, other keys go on to the window.
//   - Everything outside the page is reached through PageServices, so a test replaces each part.
namespace ov {

class COvUI2007Dlg;
class CertificateManagerModule;
class MainWindowHost;
class NativeWifiClient;
class OidRequester;
class ProfileStore;
class RegistryWriter;
class WapiCertificateCalls;

// A page that takes the monitor's posted messages implements this; the monitor posts through
// the page's event queue, so the page handles it after the monitor's handler has returned.
class PageMessageSink {
 public:
  virtual ~PageMessageSink() = default;
  virtual void OnMonitorMessage(const Message& message) = 0;
};

// The modal message box every page message goes through: 1 for OK, 2 otherwise.
using MessageBoxFunction = std::function<int(const QString& text, QWidget* parent)>;

// The outside things a page reaches. Null while the thing does not exist (no adapter, no client
// yet, a preview); a page then shows what it can and writes nothing. Everything pointed to
// outlives the main window.
struct PageServices {
  OidRequester* driver = nullptr;         // the OID channel of the selected adapter
  RegistryWriter* registry = nullptr;     // registry writes, through the registry broker
  NativeWifiClient* wifi = nullptr;       // the wireless client of the selected adapter
  ProfileStore* store = nullptr;          // the profile store in the data folder
  TimerService* timers = nullptr;         // pages' own timers (refresh, notes, animations)
  MessageBoxFunction showMessage;         // empty: the program's ShowMessage
  const CertificateManagerModule* certificates = nullptr;  // libOvCertMgr.so once loaded
  WapiCertificateCalls* wapiLibrary = nullptr;  // null: libWAPIDLL.so from the program folder
};

// Given to every page and panel factory.
struct PageContext {
  COvUI2007Dlg& window;
  ShellState& state;
  MainWindowHost& host;
  const PageServices& services;
};

// Makes a page or panel as a child of `parent`; nullptr when it could not be made.
using PageFactory = std::function<QWidget*(const PageContext& context, QWidget* parent)>;

// The font cell height of page text; the bar's labels use their own (20).
inline constexpr int kPageFontCellHeight = 18;

// The language table's face name at the page cell height.
QFont PageFont();

// The timer a page refreshes itself on.
inline constexpr int kPageRefreshTimer = 1;

// The base every page, panel and dialog of the main window derives from; see the contract above.
class PageWidget : public QWidget, public PageMessageSink {
  Q_OBJECT

 public:
  PageWidget(const PageContext& context, QWidget* parent);
  ~PageWidget() override;

  // Reads what the page shows. Runs on every show.
  virtual void LoadValues() = 0;
  // One periodic refresh (only with RefreshPeriodMs() > 0).
  virtual void Refresh() {}
  virtual uint32_t RefreshPeriodMs() const { return 0; }
  virtual bool RefreshWhileHidden() const { return false; }
  // Messages the monitor forwards; most pages take none.
  void OnMonitorMessage(const Message& message) override { (void)message; }

  // Shows `message` in the message box and gives `field` the focus. Always false, so a check
  // reads `if (bad) return RejectInput(...)`.
  bool RejectInput(const QString& message, QWidget* field);
  // A message through the message-box seam, over this page's window.
  int ShowPageMessage(const QString& text);

  const PageServices& Services() const { return services_; }
  ShellState& State() const { return state_; }
  COvUI2007Dlg& Window() const { return window_; }
  MainWindowHost& Host() const { return host_; }
  // The page's own timers; null without a timer service. Killed with the page.
  WindowTimers* Timers() const { return timers_.get(); }
  bool Refreshing() const;

  // Enter presses `enter` (a panel's OK or Apply) and Escape presses `escape` (its Cancel)
  // wherever the focus is inside the page, while the button is shown and enabled; null leaves
  // the key to the window (Escape there hides it).
  void SetKeyButtons(QAbstractButton* enter, QAbstractButton* escape);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  COvUI2007Dlg& window_;
  ShellState& state_;
  MainWindowHost& host_;
  const PageServices& services_;
  std::unique_ptr<WindowTimers> timers_;
  QPointer<QAbstractButton> enterButton_;
  QPointer<QAbstractButton> escapeButton_;
};

}  // namespace ov
