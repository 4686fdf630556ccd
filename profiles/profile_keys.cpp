#include "profiles/profile_keys.h"

#include <algorithm>

#include "nativewifi/station_profile.h"
#include "platform/system/ascii_text.h"

namespace ov {

namespace {

constexpr std::array<std::string_view, 11> kFamilyPrefixes = {
    "WXP1PCI_", "WXU1_", "WXP2PCI_", "WXU2_", "WXP3_", "WXU3_",
    "WXP4_",    "WXU4_", "WXU5_",    "WXU6_", "WXP5_",
};

// The identifier becomes part of a file name: it must not leave the data folder.
bool SafeFileNamePart(std::string_view id) {
  if (id.empty()) return false;
  if (id.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos) return false;
  return id.find("..") == std::string_view::npos;
}

}  // namespace

std::optional<std::string_view> StoreFilePrefix(int32_t chipFamily) {
  if (chipFamily < 0 || chipFamily >= static_cast<int32_t>(kFamilyPrefixes.size())) {
    return std::nullopt;
  }
  return kFamilyPrefixes[static_cast<size_t>(chipFamily)];
}

std::string_view StoreFileSuffix(StoreFileKind kind) {
  switch (kind) {
    case StoreFileKind::Station: return "_sta";
    case StoreFileKind::AccessPoint: return "_ap";
    case StoreFileKind::Profiles: return "_prof";
    case StoreFileKind::Wps: return "_wsc";
    case StoreFileKind::StationBlob: return "_STAconfigBlob";
    case StoreFileKind::ProfilesBlob: return "_PROFconfigBlob";
  }
  return "";
}

std::string StoreFileName(const StoreLocation& location, StoreFileKind kind) {
  auto prefix = StoreFilePrefix(location.chipFamily);
  if (!prefix || !SafeFileNamePart(location.netCfgInstanceId)) return {};
  std::string name = location.dataDir;
  name.append(*prefix).append(location.netCfgInstanceId).append(StoreFileSuffix(kind));
  return name;
}

bool SameKey(std::string_view a, std::string_view b) { return EqualsIgnoringAsciiCase(a, b); }

bool IsEncryptedKey(std::string_view key) {
  return std::any_of(EncryptedKeyList.begin(), EncryptedKeyList.end(),
                     [&](std::string_view k) { return SameKey(k, key); });
}

bool IsProfileKey(std::string_view key) {
  return std::any_of(ProfileKeyList.begin(), ProfileKeyList.end(),
                     [&](std::string_view k) { return SameKey(k, key); });
}

size_t ProfileValueLimit(std::string_view key) {
  struct Limit {
    std::string_view key;
    size_t bytes;
  };
  static constexpr Limit kLimits[] = {
      {"SSID", kSsidMaxLength},
      {"DiagnosticSSID", kSsidMaxLength},
      {"ID", kIdentityMaxLength},
      {"Password", kIdentityMaxLength},
      {"TunnelID", kIdentityMaxLength},
      {"TunnelPassword", kIdentityMaxLength},
      {"WPAPSK", kPskMaxLength},
      {"ClientCertData", 2 * kCertHashMaxLength},
      {"ServerCertData", 2 * kCertHashMaxLength},
      {"WEPKey1", 2 * kWepKey104Length},
      {"WEPKey2", 2 * kWepKey104Length},
      {"WEPKey3", 2 * kWepKey104Length},
      {"WEPKey4", 2 * kWepKey104Length},
  };
  for (const Limit& limit : kLimits) {
    if (SameKey(limit.key, key)) return limit.bytes;
  }
  return 255;
}

}  // namespace ov
