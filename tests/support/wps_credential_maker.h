#pragma once
#include <algorithm>
#include <string_view>

#include "driver/oid/wps_records.h"

// A WPS credential as the driver or the registrar editor leaves it in the table.
namespace ov::test {

inline WpsCredential MakeCredential(std::string_view ssid, uint32_t auth, uint32_t encr,
                                    std::string_view key = {}, uint32_t keyIndex = 0) {
  WpsCredential c;
  c.SsidLength = static_cast<uint32_t>(ssid.size());
  std::copy(ssid.begin(), ssid.end(), c.Ssid.begin());
  c.AuthType = auth;
  c.EncryType = encr;
  c.KeyIndex = keyIndex;
  c.KeyLength = static_cast<uint32_t>(key.size());
  std::copy(key.begin(), key.end(), c.Key.begin());
  c.MacAddr = {0x02, 0x5A, 0x0F, 0x10, 0x00, 0x21};
  return c;
}

}  // namespace ov::test
