#pragma once
#include <cstdint>
#include <ctime>
#include <string>

#include "driver/oid/ndis_records.h"

// The about page's value texts, data in and text out.
namespace ov {

// "3.1" for an answer whose byte 0 is 3 and byte 1 is 1.
std::string EepromVersionText(uint32_t answer);
// "1.2" for an answer whose byte 0 is 2 and byte 1 is 1 (the firmware keeps major in byte 1).
std::string FirmwareVersionText(uint32_t answer);
// "%d.%d.%d.%d".
std::string FileVersionText(uint32_t major, uint32_t minor, uint32_t build, uint32_t revision);
// "%m-%d-%Y" of a file time, in local time; empty when the time cannot be shown.
std::string FileDateText(std::time_t modified);
// "%02X-%02X-%02X-%02X-%02X-%02X".
std::string MacAddressText(const MacAddress& mac);
// Chip families 4 to 10 have a firmware version to show.
bool FamilyHasFirmwareVersion(int32_t chipFamily);

}  // namespace ov
