// Feeds arbitrary bytes to the profile import as an export file. A refused file changes nothing;
// an imported profile reads back within its fields, loads, and gives a well-formed WLAN profile.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <pugixml.hpp>

#include "nativewifi/wlan_profile_xml.h"
#include "profiles/load_active_profile.h"
#include "profiles/profile_store.h"

namespace {

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    auto dir = std::filesystem::temp_directory_path() /
               ("ovui-fuzz-import-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir / "store");
    return dir;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto& folder = Folder();
  std::filesystem::remove_all(folder / "store");
  std::filesystem::create_directories(folder / "store");
  std::string file = (folder / "input.prof").string();
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  ov::ProfileStore store({(folder / "store").string() + "/", 4, "{F0E1D2C3-0000-1111-2222-333344445555}"});
  int result = store.ImportProfileSection(file);
  if (result < ov::kImportOk || result > ov::kImportStoreWriteFailed) __builtin_trap();
  bool empty = std::filesystem::is_empty(folder / "store");
  if (result != ov::kImportOk) {
    if (!empty) __builtin_trap();  // a refused import wrote something
    return 0;
  }
  auto names = store.ListProfileNames();
  if (names.size() != 1) __builtin_trap();
  for (std::string_view key : ov::ProfileKeyList) {
    if (key == ov::kEapConfigBlobKey) continue;
    std::string value = store.ReadStoreValue(ov::StoreFileKind::Profiles, names[0], key, 400);
    if (value.size() > ov::ProfileValueLimit(key)) __builtin_trap();
  }
  ov::ActiveProfileContext context;
  context.selectedProfileName = names[0];
  context.wpaReady = true;
  ov::StationProfile record;
  ov::LoadActiveProfile(store, context, record);
  ov::WlanProfileDocuments docs = ov::BuildWlanProfile(record, {});
  pugi::xml_document doc;
  if (!docs.profileXml.empty() && !doc.load_string(docs.profileXml.c_str())) __builtin_trap();
  if (!docs.userCredentialsXml.empty() && !doc.load_string(docs.userCredentialsXml.c_str())) {
    __builtin_trap();
  }
  return 0;
}
