#pragma once
#include <memory>
#include <string>

#include "platform/time/message_service.h"

// LaunchEapSetup's start of the EAP configuration worker for a saved EAP-FAST profile. The
// worker's messages go to the monitor window, which disables the main window while the dialog is
// up and forwards 0x407 to the profile list (its buttons wait for the dialog too).
namespace ov {

class EapFastDialogResult;
class NativeWifiClient;
class ProfileStore;

// Posts 0x407 (wParam 0) to `monitor` and starts the worker that edits the profile's stored
// EAP-FAST settings ("EapConfigBlob", "EapConfigBlobLen") and posts 0x407 (wParam 1) when its
// dialog has closed. When no worker can start (no wireless client or no EAP host) 0x407 (1)
// follows at once, so nothing stays disabled. True when a worker started.
bool StartEapSetupWorker(const MessageTarget& monitor, NativeWifiClient* wifi,
                         const ProfileStore& store, const std::string& profileName);

// The survey's Connect to an EAP-FAST network: the same messages to `monitor`, and the worker
// runs the dialog without starting settings, leaves its blob in `result` and posts 0x412, which
// the monitor forwards to the site survey (the connection then goes ahead). When no worker can
// start, 0x407 (1) and 0x412 follow at once. True when a worker started.
bool StartEapDialogWorker(const MessageTarget& monitor, NativeWifiClient* wifi,
                          std::shared_ptr<EapFastDialogResult> result);

}  // namespace ov
