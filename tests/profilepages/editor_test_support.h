#pragma once
#include <span>
#include <vector>

#include "driver/oid/bssid_list.h"
#include "tests/shellui/shell_test_support.h"

// What the editor tests share: a host that holds a scan list, and made-up scan entries.
namespace ov::test {

// An RSN element: CCMP group and pairwise cipher, PSK key management.
inline const std::vector<uint8_t> kRsnPsk = {0x30, 20, 1, 0, 0x00, 0x0F, 0xAC, 4, 1, 0, 0x00,
                                             0x0F, 0xAC, 4, 1, 0, 0x00, 0x0F, 0xAC, 2, 0, 0};

inline std::vector<uint8_t> ScanEntry(const char* ssid, uint8_t last, bool privacy, uint32_t kHz,
                                      const std::vector<uint8_t>& elements = {},
                                      bool infrastructure = true) {
  BssDescription bss;
  bss.bssid = {0x02, 0x5A, 0x0F, 0x10, 0x00, last};
  bss.ssid = ssid;
  bss.privacy = privacy;
  bss.dsConfigKHz = kHz;
  bss.infrastructureMode = infrastructure ? Ndis802_11Infrastructure : Ndis802_11IBSS;
  bss.informationElements = elements;
  return MakeBssidEntry(bss);
}

// The monitor's scan list as the editors read it.
class ScanHost : public RecordingHost {
 public:
  std::span<uint8_t> ScanList() override { return list; }
  std::vector<uint8_t> list = std::vector<uint8_t>(kBssidListBufferSize);
};

}  // namespace ov::test
