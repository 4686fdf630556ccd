#include "profilepages/eap_setup_launch.h"

#include <memory>

#include "nativewifi/eap_fast_workers.h"
#include "nativewifi/native_wifi_client.h"
#include "platform/time/monitor_messages.h"
#include "profiles/profile_store.h"

namespace ov {

namespace {

// The worker reads and writes on its own thread, possibly after the window (and the store it
// was given) is gone: it gets a store of its own over the same files. The blob is no secret, so
// it needs no codec.
EapBlobStoreAccess WorkerStoreAccess(const ProfileStore& store) {
  auto own = std::make_shared<ProfileStore>(store.location(), nullptr, false);
  EapBlobStoreAccess access;
  access.read = [own](int kind, std::string_view section, std::string_view key, size_t size) {
    return own->ReadStoreValue(static_cast<StoreFileKind>(kind), section, key, size);
  };
  access.write = [own](int kind, std::string_view section, std::string_view key,
                       std::string_view value) {
    return own->WriteStoreValue(static_cast<StoreFileKind>(kind), section, key, value);
  };
  return access;
}

}  // namespace

bool StartEapSetupWorker(const MessageTarget& monitor, NativeWifiClient* wifi,
                         const ProfileStore& store, const std::string& profileName) {
  monitor.post(WM_MON_EAP_UI_DONE, 0, 0);
  if (wifi && wifi->StartEapFastSetup(monitor, profileName, WorkerStoreAccess(store))) return true;
  monitor.post(WM_MON_EAP_UI_DONE, 1, 0);
  return false;
}

bool StartEapDialogWorker(const MessageTarget& monitor, NativeWifiClient* wifi,
                          std::shared_ptr<EapFastDialogResult> result) {
  monitor.post(WM_MON_EAP_UI_DONE, 0, 0);
  if (wifi && wifi->StartEapFastDialog(monitor, std::move(result))) return true;
  monitor.post(WM_MON_EAP_UI_DONE, 1, 0);
  monitor.post(WM_MON_EAP_CONFIG, 1, 0);
  return false;
}

}  // namespace ov
