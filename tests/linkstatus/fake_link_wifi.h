#pragma once
#include <optional>
#include <string>

#include "views/link_status_poll.h"

// The wireless service as the link-status panel asks it, answering from fields a test sets.
namespace ov::link_status::test {

class FakeLinkWifi final : public LinkStatusWifi {
 public:
  std::optional<bool> connected = true;
  std::string ssid = "Orvane-WPA2-AES";
  MacAddress bssid{0x02, 0x5A, 0x0F, 0x10, 0x00, 0x05};
  std::optional<uint32_t> bssType = 1;
  uint32_t auth = 7, cipher = 4;
  std::optional<uint32_t> channel = 6;
  bool available = true;
  std::optional<bool> QueryConnected() override { return connected; }
  void CurrentLink(std::string* s, MacAddress* b) override {
    *s = ssid;
    *b = bssid;
  }
  std::optional<uint32_t> BssType() override { return bssType; }
  uint32_t AuthAlgorithm() override { return auth; }
  uint32_t CipherAlgorithm() override { return cipher; }
  std::optional<uint32_t> Channel() override { return channel; }
  bool ServiceAvailable() override { return available; }
};

}  // namespace ov::link_status::test
