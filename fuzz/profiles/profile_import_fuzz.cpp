// Feeds arbitrary bytes to the import check as an export file, in memory. A refused file says
// why; an accepted one names a profile that fits the store and only values within their fields.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "profiles/profile_import.h"
#include "profiles/profile_keys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  ov::ParsedImport parsed = ov::ParseProfileImport(text, nullptr);
  if (parsed.result < ov::kImportOk || parsed.result > ov::kImportStoreWriteFailed) __builtin_trap();
  if (parsed.result != ov::kImportOk) {
    if (parsed.problem.empty()) __builtin_trap();
    return 0;
  }
  if (parsed.name.empty() || parsed.name.size() > ov::kProfileNameMaxLength) __builtin_trap();
  // Every key but the blob, in the list's order, each within its field (limits looked up once).
  static const std::vector<std::pair<std::string_view, size_t>> limits = [] {
    std::vector<std::pair<std::string_view, size_t>> l;
    for (std::string_view key : ov::ProfileKeyList) {
      if (key != ov::kEapConfigBlobKey) l.emplace_back(key, ov::ProfileValueLimit(key));
    }
    return l;
  }();
  if (parsed.values.size() != limits.size()) __builtin_trap();
  for (size_t i = 0; i < limits.size(); ++i) {
    const auto& [key, value] = parsed.values[i];
    if (key != limits[i].first || value.size() > limits[i].second) __builtin_trap();
    if (value.find('\0') != std::string::npos) __builtin_trap();
  }
  if (parsed.blobHex && parsed.blobHex->size() % 2 != 0) __builtin_trap();
  return 0;
}
