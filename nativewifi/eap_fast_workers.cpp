#include "nativewifi/eap_fast_workers.h"

#include <charconv>
#include <cstdio>
#include <thread>

#include "driver/params/debug_trace.h"
#include "platform/time/monitor_messages.h"

namespace ov {

namespace {

constexpr const char* kBlobLengthKey = "EapConfigBlobLen";
constexpr const char* kBlobKey = "EapConfigBlob";
constexpr size_t kStoreValueSize = 256;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

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

std::string EncodeBlobHex(std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(2 * bytes.size());
  for (uint8_t b : bytes) {
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 0xF]);
  }
  return hex;
}

std::optional<std::vector<uint8_t>> DecodeBlobHex(std::string_view hex) {
  if (hex.size() % 2) return std::nullopt;
  std::vector<uint8_t> bytes;
  bytes.reserve(hex.size() / 2);
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]);
    const int low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<uint8_t>(high << 4 | low));
  }
  return bytes;
}

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
