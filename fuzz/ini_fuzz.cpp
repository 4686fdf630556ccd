// Feeds arbitrary bytes to the INI document as file text, then queries and edits it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ini/ini_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using ov::ini_detail::IniDocument;
  std::string text(reinterpret_cast<const char*>(data), size);
  IniDocument doc(text);
  auto names = doc.sectionNames();
  std::string first = names.empty() ? "s" : std::string(names.front());
  for (auto key : doc.keyNames(first)) (void)doc.rawValue(first, key);
  (void)doc.sectionLines(first);

  // An edit must keep the rest of the text and make the value readable as stored.
  auto edited = doc.withValue(first, "FuzzKey", "v");
  if (edited) {
    IniDocument after(*edited);
    auto value = after.rawValue(first, "FuzzKey");
    if (!value || *value != "v") __builtin_trap();
  }
  (void)doc.withoutKey(first, "FuzzKey");
  (void)doc.withoutSection(first);
  return 0;
}
