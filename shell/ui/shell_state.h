#pragma once
#include "driver/adapter_info.h"

// The process-wide flags the monitor window owns and the main window and its pages read. One
// instance lives in the monitor; widgets get it by reference.
namespace ov {

// A desktop lower than this gets the caption-less layout.
inline constexpr int kSmallScreenHeight = 660;

inline bool IsSmallScreen(int desktopHeight) { return desktopHeight < kSmallScreenHeight; }

// The site survey's marks that other windows change: a list rebuild is due (the radio command
// asks for one), and the two marks of a connection started from the survey — the security class
// of the network chosen and the use of a typed hidden SSID — which activations elsewhere clear.
struct SiteSurveyMarks {
  bool rescanPending = false;
  int securityClass = 0;
  bool hiddenSsidInUse = false;
  void ClearConnectMarks() {
    securityClass = 0;
    hiddenSsidInUse = false;
  }
};

struct ShellState {
  bool Busy = false;         // a modal adapter choice or monitor message is up: ticks wait
  bool Expanded = false;     // the main window shows its lower frame
  bool SmallScreen = false;  // caption-less layout
  bool RadioOn = false;
  int LowerPanel = 0;        // the main window's lower panel on show
  AdapterInfo Adapter;       // the selected adapter (HtCapable, IsFirstGeneration, IsAdmin ...)
  SiteSurveyMarks Survey;
  bool ShowDbm = false;      // signal in dBm rather than percent (the survey's check box)
  // What the security page reads: WPA is usable, WAPI is installed, the program option
  // "ShowPassword" lets secrets be shown.
  bool WpaReady = false;
  bool WapiSupported = false;
  bool ShowPasswordOption = false;
  // The program option "EAPFastEnhancement": the 802.1X page's EAP-FAST tunnel choice also
  // shows the certificate sub-tabs.
  bool EapFastEnhancement = false;
};

// Holds Busy set for its lifetime and gives back the previous value afterwards.
class ScopedBusy {
 public:
  explicit ScopedBusy(ShellState& state) : busy_(state.Busy), previous_(state.Busy) { busy_ = true; }
  ~ScopedBusy() { busy_ = previous_; }
  ScopedBusy(const ScopedBusy&) = delete;
  ScopedBusy& operator=(const ScopedBusy&) = delete;

 private:
  bool& busy_;
  bool previous_;
};

}  // namespace ov
