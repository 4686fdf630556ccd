#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

#include "wps/wps_status_text.h"

// What the WPS page decides from its state, without widgets: which buttons it offers, how one
// polled status word moves a run on, and what one tick of the connection monitor does.
namespace ov {

// Session modes of the page.
inline constexpr int kWpsSessionIdle = 0;
inline constexpr int kWpsSessionPin = 1;
inline constexpr int kWpsSessionPbc = 2;

struct WpsPageButtonInputs {
  bool apSelected = false;
  bool autoSelect = false;         // "Automatically select the AP" is checked
  bool profileSelected = false;
  bool mayManageProfiles = false;  // IsAdmin or AllowStandardUserSetProfile
  uint32_t credentialCount = 0;
  bool registrar = false;
  bool polling = false;            // a run is being followed: no second start
};

struct WpsPageButtons {
  bool information = false;
  bool pin = false;
  bool pbc = false;
  bool wirelessMode = false;
  bool profileDetail = false;
  bool connect = false;
  bool deleteEnabled = false;
  bool deleteShown = false;
  bool rotate = false;
};
WpsPageButtons ComputeWpsPageButtons(const WpsPageButtonInputs& in);

// Who started the run being followed. The driver's own push-button runs are completed by the
// monitor window, so the page only shows them.
enum class WpsRunOrigin { Page, Driver };

struct WpsPollContext {
  WpsRunOrigin origin = WpsRunOrigin::Page;
  int sessionMode = kWpsSessionIdle;
  bool autoSelect = false;
  bool registrar = false;
  int currentApIndex = -1;
  size_t apRowCount = 0;
};

struct WpsPollReaction {
  bool stopPolling = false;
  bool reenableControls = false;
  bool stopSession = false;        // as Disconnect (516 in enrollee mode)
  bool takeCredentials = false;    // the page's run succeeded: fetch, store and apply the table
  bool showCompletion = false;     // the driver's run succeeded: show the table the monitor took
  bool tryNextAp = false;          // auto-select PIN mode: a new PIN session on the next AP
  bool forgetApIndex = false;      // auto-select PIN mode with no AP left to move from
};
// The reaction to one decoded status word. A failure ends the poll: the driver keeps answering
// the failure code, and a poll left running would keep the start buttons disabled for good.
WpsPollReaction ReactToWpsStatus(const WpsStatusView& view, const WpsPollContext& context);

struct WpsConnectionTickInputs {
  bool connected = false;      // the wireless service reports the adapter connected
  bool monitorActive = false;
  bool rotating = false;
  uint32_t tick = 0;           // this tick's number (the first tick after a start is 1)
  uint32_t credentialCount = 0;
};

struct WpsConnectionTick {
  bool stopTimer = false;
  bool markConnected = false;  // the applied row's state: connected (true) or not
  bool connectedSeen = false;  // the controls come back and rotation ends
  bool clearStatus = false;    // status text empty, progress 0
  std::optional<uint32_t> applyCredential;  // rotation: the credential to apply now
};
WpsConnectionTick DecideWpsConnectionTick(const WpsConnectionTickInputs& in);

}  // namespace ov
