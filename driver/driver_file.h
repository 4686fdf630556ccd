#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The adapter's driver file, which the about page reads for the driver's version and date. Like a
// kernel module's information section it holds NUL-separated "key=value" strings; "version="
// carries up to four dot-separated numbers (major, minor, build, revision).
namespace ov {

// The folder under the machine root that holds the driver files.
inline constexpr char kDriverFileFolder[] = "lib/modules/ovui";
// Larger files are not read.
inline constexpr size_t kDriverFileMaxBytes = 1u << 20;

struct DriverFileVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  uint32_t revision = 0;
  bool operator==(const DriverFileVersion&) const = default;
};

// The file of a chip family ("wxp4.ko"); empty for no family.
std::string DriverFileName(int32_t chipFamily);
// Under the machine root; empty for no family.
std::filesystem::path DriverFilePath(int32_t chipFamily);

// The first "version=" string: one to four numbers of 0-65535 (missing ones 0); nothing when
// there is no such string or it holds anything else.
std::optional<DriverFileVersion> ParseDriverFileVersion(std::string_view contents);
// "version=a.b.c.d\0description=...\0".
std::string DriverFileInfo(const DriverFileVersion& version, std::string_view description);

}  // namespace ov
