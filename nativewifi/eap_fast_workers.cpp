#include "nativewifi/eap_fast_workers.h"

#include <charconv>
#include <cstdio>
#include <thread>

#include "driver/params/debug_trace.h"
#include "platform/time/monitor_messages.h"
#include "platform/system/hex_text.h"

namespace ov {

namespace {

constexpr const char* kBlobLengthKey = "EapConfigBlobLen";
constexpr const char* kBlobKey = "EapConfigBlob";
constexpr size_t kStoreValueSize = 256;

// The profile's stored blob, when its length is a number of 1..3999 and the record holds that
// many bytes.
std::vector<uint8_t> ReadStoredBlob(const EapBlobStoreAccess& store, const std::string& profile) {
  if (!store.read) return {};
  const std::string lengthText = store.read(kEapSetupLengthFileKind, profile, kBlobLengthKey, kStoreValueSize);
  size_t length = 0;
  const char* end = lengthText.data() + lengthText.size();
  const auto parsed = std::from_chars(lengthText.data(), end, length);
  if (parsed.ec != std::errc() || parsed.ptr != end || length == 0 || length > kStoredEapBlobMaxBytes) {
    return {};
  }
  auto blob = DecodeBlobHex(store.read(kEapSetupBlobFileKind, profile, kBlobKey, 2 * length));
  if (!blob || blob->size() != length) return {};
  return *blob;
}

void StoreBlob(const EapBlobStoreAccess& store, const std::string& profile,
               const std::vector<uint8_t>& blob) {
  if (blob.size() > kStoredEapBlobMaxBytes) {
    DebugTrace("EAP-FAST settings of %zu bytes not stored\n", blob.size());
    return;
  }
  if (!store.write) return;
  if (!store.write(kEapSetupBlobFileKind, profile, kBlobKey, EncodeBlobHex(blob)) ||
      !store.write(kEapSetupLengthFileKind, profile, kBlobLengthKey, std::to_string(blob.size()))) {
    DebugTrace("WriteStoreValue 'EapConfigBlob' failed\n");
  }
}

}  // namespace

WorkerLauncher DetachedThreadLauncher() {
  return [](std::function<void()> job) { std::thread(std::move(job)).detach(); };
}

void EapFastDialogResult::Set(std::vector<uint8_t> blob) {
  std::lock_guard lock(mutex_);
  blob_ = std::move(blob);
}

std::optional<std::vector<uint8_t>> EapFastDialogResult::Take() {
  std::lock_guard lock(mutex_);
  auto blob = std::move(blob_);
  blob_.reset();
  return blob;
}

std::string EncodeBlobHex(std::span<const uint8_t> bytes) { return HexEncode(bytes); }

std::optional<std::vector<uint8_t>> DecodeBlobHex(std::string_view hex) { return HexDecode(hex); }

void RunEapFastDialog(EapHost& host, const MessageTarget& window, EapFastDialogResult& result) {
  std::vector<uint8_t> output;
  const uint32_t status = host.InvokeConfigUI(kEapHostConfigUiFlags, kEapFastMethodType, {}, &output);
  if (status == ERROR_SUCCESS && !output.empty()) result.Set(std::move(output));
  window.post(WM_MON_EAP_UI_DONE, 1, 0);
  window.post(WM_MON_EAP_CONFIG, 1, 0);
}

void RunEapFastSetup(EapHost& host, const MessageTarget& window, const std::string& profileName,
                     const EapBlobStoreAccess& store) {
  const std::vector<uint8_t> input = ReadStoredBlob(store, profileName);
  std::vector<uint8_t> output;
  const uint32_t status = host.InvokeConfigUI(kEapHostConfigUiFlags, kEapFastMethodType, input, &output);
  // Cancelling the dialog keeps what the profile had; only confirmed settings replace it. The
  // store is written before the page hears that the dialog closed, so it reads the new blob.
  if (status == ERROR_SUCCESS) StoreBlob(store, profileName, output);
  window.post(WM_MON_EAP_UI_DONE, 1, 0);
}

}  // namespace ov
