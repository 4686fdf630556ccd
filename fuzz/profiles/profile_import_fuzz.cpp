// Feeds arbitrary bytes to the import check as an export file, in memory. A refused file says
// why; an accepted one names a profile that fits the store and only values within their fields.
#include <cstddef>
#include <cstdint>
#include <string>

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
  if (parsed.values.size() != ov::ProfileKeyList.size() - 1) __builtin_trap();  // all but the blob
  for (const auto& [key, value] : parsed.values) {
    if (!ov::IsProfileKey(key) || value.size() > ov::ProfileValueLimit(key)) __builtin_trap();
    if (value.find('\0') != std::string::npos) __builtin_trap();
  }
  if (parsed.blobHex && parsed.blobHex->size() % 2 != 0) __builtin_trap();
  return 0;
}
