#pragma once
#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "driver/adapter_info.h"
#include "driver/ndis_types.h"
#include "driver/oid/ndis_records.h"
#include "driver/oid_requester.h"
#include "shell/ui/shell_icons.h"
#include "wps/wps_store.h"

// What the monitor window talks to besides its own state: the notification area, the wireless
// service, the adapter's device, the desktop and the login session. The program plugs in the
// Qt, socket and logind implementations; tests put recording doubles or the real simulator
// behind them.
namespace ov {

// One entry of the tray menu: a command number, its text, and whether it can be chosen.
struct TrayMenuItem {
  uint32_t command = 0;
  QString text;
  bool enabled = true;
  bool operator==(const TrayMenuItem&) const = default;
};

// The notification-area icon. Its clicks come back to the monitor as posted WM_MON_TRAY
// messages (lParam the mouse message), as the shell's callback message does.
class TrayIcon {
 public:
  virtual ~TrayIcon() = default;
  // False when the desktop has no notification area (or the icon could not be added).
  virtual bool Add(TrayState state, const QString& tip) = 0;
  // False when the icon is not there any more (the notification area restarted).
  virtual bool Modify(TrayState state, const QString& tip) = 0;
  virtual void Remove() = 0;
  // Shows the menu at the cursor; the chosen item arrives as a posted WM_COMMAND.
  virtual void PopupMenu(const std::vector<TrayMenuItem>& items) = 0;
  // A desktop notice from the icon (the link came up or was lost); nothing where the desktop
  // shows none.
  virtual void ShowNotification(const QString& title, const QString& text) {
    (void)title;
    (void)text;
  }
};

// The monitor's part of the native wireless client. Its service profiles are what a WPS run's
// replaced credentials leave behind (WpsServiceProfiles).
class MonitorWifi : public WpsServiceProfiles {
 public:
  ~MonitorWifi() override = default;
  // Opens (or reopens) the interface whose description is `description`.
  virtual bool OpenInterface(const std::string& description) = 0;
  // The interface state: nothing when the query failed, else whether it is connected.
  virtual std::optional<bool> QueryConnected() = 0;
  // The current SSID (bytes) and BSSID; false, with both cleared, when there is no link.
  virtual bool CurrentLink(std::string* ssid, MacAddress* bssid) = 0;
  // The current connection's algorithms; nothing when the query fails.
  virtual std::optional<uint32_t> CurrentAuthAlgorithm() = 0;
  virtual std::optional<uint32_t> CurrentCipherAlgorithm() = 0;
  // The software radio of the interface.
  virtual void SetSoftwareRadio(bool on) = 0;
  // Deletes every profile of the interface; false when the list could not be read.
  virtual bool DeleteAllProfiles() = 0;
  // A connection completed (the client then applies its pending thresholds).
  virtual void ConnectionComplete(bool fromProfile) = 0;
  // The host's wireless service runs (AutoConfig).
  virtual bool ServiceRunning() = 0;
  // The adapter's MAC address, read at adapter set-up: the client renews the address of the
  // network interface that has it.
  virtual void SetAdapterAddress(const MacAddress& mac) { (void)mac; }
  // The current connection's signal quality (0..100) as the wireless service measures it:
  // the tray's signal when no vendor driver gives the RSSI. Nothing without a connection.
  virtual std::optional<uint32_t> CurrentSignalQuality() { return std::nullopt; }
  // The scan worker's latest list into `buffer`; false when there is none.
  virtual bool CopyScanList(std::span<uint8_t> buffer) {
    (void)buffer;
    return false;
  }
};

// The adapter as the monitor reaches it: discovery, the device file and the driver's OIDs.
class MonitorAdapter {
 public:
  virtual ~MonitorAdapter() = default;
  // Fills `info` and points the driver channel at the adapter found; false when none is.
  virtual bool DiscoverAdapter(AdapterInfo& info) = 0;
  // The selected adapter's device file opens.
  virtual bool IsDevicePresent() = 0;
  virtual OidRequester& Driver() = 0;
  virtual void ClearUsbMatch() = 0;
};

// The desktop: modal messages, other programs, documents.
class MonitorDesktop {
 public:
  virtual ~MonitorDesktop() = default;
  // A modal message box (the caller holds Busy around it).
  virtual void ShowModalMessage(const QString& text) = 0;
  // Starts a program without waiting for it; its result is not looked at.
  virtual void StartProgram(const std::string& program, const std::vector<std::string>& args) = 0;
  // Opens a document with the desktop's viewer.
  virtual void OpenDocument(const std::string& path) = 0;
};

// The login session the display belongs to. Without a session manager the session never
// changes.
class SessionSource {
 public:
  virtual ~SessionSource() = default;
  virtual uint32_t ActiveSession() = 0;
};

class FixedSession final : public SessionSource {
 public:
  uint32_t ActiveSession() override { return 0; }
};

}  // namespace ov
