// Feeds arbitrary bytes to the .reg reader that `ovuictl reg import` uses. A file that reads must
// write out (unless a name holds a line break, which the format cannot carry) and read back to
// the same keys and values: export is lossless and import takes what export writes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cli/reg_file.h"

namespace {

bool SameContent(const ov::cli::RegFile& a, const ov::cli::RegFile& b) {
  if (a.keys.size() != b.keys.size()) return false;
  for (size_t k = 0; k < a.keys.size(); ++k) {
    const auto& x = a.keys[k];
    const auto& y = b.keys[k];
    if (x.key.root != y.key.root || x.key.path != y.key.path || x.remove != y.remove ||
        x.values.size() != y.values.size()) {
      return false;
    }
    for (size_t v = 0; v < x.values.size(); ++v) {
      const auto& p = x.values[v];
      const auto& q = y.values[v];
      if (p.name != q.name || p.remove != q.remove) return false;
      if (!p.remove && (p.type != q.type || p.data != q.data)) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ov::cli::RegFile file;
  ov::cli::RegFileError error;
  if (!ov::cli::ParseRegFile(bytes, &file, &error)) {
    if (error.message.empty()) __builtin_trap();  // a refusal always says why
    return 0;
  }
  std::string text, problem;
  if (!ov::cli::FormatRegFile(file, &text, &problem)) return 0;
  ov::cli::RegFile again;
  if (!ov::cli::ParseRegFile(text, &again, &error) || !SameContent(file, again)) __builtin_trap();
  return 0;
}
