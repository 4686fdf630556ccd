#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "nativewifi/eap_host.h"
#include "platform/time/message_service.h"

// The two EAP-FAST configuration workers: each runs the EAP host's dialog off the user-interface
// thread and reports through posted messages (0x407 when the dialog has closed, and 0x412 for the
// site survey's dialog). Callers post 0x407 with wParam 0 before they start one.
namespace ov {

// Runs a job on a thread of its own (by default a detached std::thread). Tests run it in place.
using WorkerLauncher = std::function<void(std::function<void()>)>;
WorkerLauncher DetachedThreadLauncher();

// The survey dialog's settings, handed from the worker to the page that consumes them once the
// 0x412 message has arrived.
class EapFastDialogResult {
 public:
  void Set(std::vector<uint8_t> blob);
  // The blob, once; nothing when the dialog gave none (cancelled, failed, empty).
  std::optional<std::vector<uint8_t>> Take();

 private:
  std::mutex mutex_;
  std::optional<std::vector<uint8_t>> blob_;
};

// Reading and writing values of the adapter's profile store: `read`(file kind, section, key,
// buffer size) and `write`(file kind, section, key, value), as the store's ReadStoreValue and
// WriteStoreValue. Called on the worker's thread.
struct EapBlobStoreAccess {
  std::function<std::string(int kind, std::string_view section, std::string_view key, size_t size)> read;
  std::function<bool(int kind, std::string_view section, std::string_view key, std::string_view value)> write;
};

// The store's file kinds the setup reads and writes: the profiles file and its blob file.
constexpr int kEapSetupLengthFileKind = 2;
constexpr int kEapSetupBlobFileKind = 5;
// A stored blob is at most this long (the store refuses longer ones on load).
constexpr size_t kStoredEapBlobMaxBytes = 3999;

// "%02X" per byte; and back (nothing for an odd length or a non-hexadecimal character).
std::string EncodeBlobHex(std::span<const uint8_t> bytes);
std::optional<std::vector<uint8_t>> DecodeBlobHex(std::string_view hex);

// The bodies of the workers, run on the worker's thread (tests call them directly).
//
// Dialog: the dialog without starting settings; a confirmed, non-empty blob goes into `result`;
// then 0x407 (1, 0) and 0x412 (1, 0) to `window`.
void RunEapFastDialog(EapHost& host, const MessageTarget& window, EapFastDialogResult& result);
// Setup: the profile's stored blob ("EapConfigBlobLen" of the profiles file, the blob record of
// the blob file) as the starting settings; a confirmed blob is stored as the profile's
// "EapConfigBlob" ("%02X" per byte) and "EapConfigBlobLen" ("%d"); then 0x407 (1, 0). A cancelled
// or failed dialog leaves the stored blob as it was.
void RunEapFastSetup(EapHost& host, const MessageTarget& window, const std::string& profileName,
                     const EapBlobStoreAccess& store);

}  // namespace ov
