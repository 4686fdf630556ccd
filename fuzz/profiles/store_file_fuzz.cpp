// Feeds arbitrary bytes to the store's readers as the text of its files (station, profiles and
// both blob files hold the input): every profile and the active configuration are read, loaded
// and turned into WLAN profile documents, which must be well-formed XML.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include <pugixml.hpp>

#include "nativewifi/wlan_profile_xml.h"
#include "platform/ini/ini_file_store.h"
#include "profiles/load_active_profile.h"
#include "profiles/profile_store.h"

namespace {

const ov::StoreLocation& Location() {
  static const ov::StoreLocation location = [] {
    auto dir = std::filesystem::temp_directory_path() /
               ("ovui-fuzz-store-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return ov::StoreLocation{dir.string() + "/", 4, "{F0E1D2C3-0000-1111-2222-333344445555}"};
  }();
  return location;
}

void Put(const std::string& file, const uint8_t* data, size_t size) {
  int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) __builtin_trap();
  if (size > 0 && ::write(fd, data, size) != static_cast<ssize_t>(size)) __builtin_trap();
  ::close(fd);
}

void CheckDocuments(const ov::StationProfile& record) {
  ov::WlanProfileDocuments docs = ov::BuildWlanProfile(record, {});
  pugi::xml_document doc;
  if (!docs.profileXml.empty() && !doc.load_string(docs.profileXml.c_str())) __builtin_trap();
  if (!docs.userCredentialsXml.empty() && !doc.load_string(docs.userCredentialsXml.c_str())) {
    __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ov::ProfileStore store(Location());
  for (ov::StoreFileKind kind : {ov::StoreFileKind::Station, ov::StoreFileKind::Profiles,
                                 ov::StoreFileKind::StationBlob, ov::StoreFileKind::ProfilesBlob}) {
    Put(store.FileName(kind), data, size);
  }
  // The files are rewritten in place within the cache's time resolution.
  ov::ini_detail::FlushCache();

  // Two profiles reach every reader; more would only repeat the same reads.
  auto names = store.ListProfileNames();
  for (size_t i = 0; i < names.size() && i < 2; ++i) {
    for (std::string_view key : ov::ProfileKeyList) {
      std::string value = store.ReadStoreValue(ov::StoreFileKind::Profiles, names[i], key);
      if (value.size() >= ov::kStoreValueBufferSize) __builtin_trap();
    }
    if (auto blob = store.ReadEapBlob(ov::StoreFileKind::Profiles, ov::StoreFileKind::ProfilesBlob,
                                      names[i])) {
      if (blob->empty() || blob->size() > ov::kEapBlobMaxLength) __builtin_trap();
    }
    ov::ActiveProfileContext context;
    context.selectedProfileName = names[i];
    context.wpaReady = true;
    ov::StationProfile record;
    ov::LoadActiveProfile(store, context, record);
    CheckDocuments(record);
  }
  ov::ActiveProfileContext admin;
  admin.isAdmin = true;
  admin.wpaReady = true;
  admin.ndisVersion = 0x0600;
  ov::StationProfile active;
  ov::LoadActiveProfile(store, admin, active);
  CheckDocuments(active);
  return 0;
}
