#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

#include "driver/oid/oid_constants.h"
#include "driver/oid_requester.h"
#include "sim/scenario.h"
#include "sim/simulated_adapter.h"

namespace ov::sim::test {

// An 802.11n PCI adapter with three chains and 5 GHz, ready at once.
inline AdapterSpec MakeSpec(ChipFamily family = WXP4, int chains = 3, bool band5 = true) {
  AdapterSpec spec;
  spec.name = "wlan0";
  spec.family = family;
  spec.hardwareId = IsUsbFamily(family) ? "USB\\VID_0F5A&PID_0701" : "PCI\\VEN_0F5A&DEV_0601&SUBSYS_00010F5A";
  spec.friendlyName = "Test Adapter";
  spec.deviceDescription = "Test Adapter Description";
  spec.manufacturer = "Orvane";
  spec.location = "PCI bus 3, device 0, function 0";
  spec.mac = {0x02, 0x5A, 0x0F, 0x00, 0x06, 0x01};
  spec.receiveChains = chains;
  spec.band5GHz = band5;
  spec.startupDelayMs = 0;
  spec.signalDbm = -55;
  spec.guid = "{0F5A51D0-0000-4000-8000-025A0F000601}";
  spec.instance = "4&0F000601&0&00E0";
  return spec;
}

struct Answer {
  uint32_t status = 0;
  uint32_t returned = 0;
  std::vector<uint8_t> bytes;
};

// One request as the device socket would deliver it: `oid` as given, a buffer of `size` bytes
// (prefilled with `fill`, or with `input` at its start).
inline Answer Ask(SimulatedAdapter& adapter, uint32_t oid, size_t size,
                  const std::vector<uint8_t>& input = {}, uint8_t fill = 0) {
  Answer answer;
  answer.bytes.assign(size, fill);
  if (!input.empty()) std::memcpy(answer.bytes.data(), input.data(), std::min(size, input.size()));
  answer.status = adapter.handleRequest(IOCTL_NDIS_QUERY_GLOBAL_STATS, oid, answer.bytes, &answer.returned);
  return answer;
}

// The OID channel's two primitives straight onto a simulated driver, marking sets as the
// channel does, so that the catalogue's typed requests can talk to it.
class DirectRequester : public OidRequester {
 public:
  explicit DirectRequester(SimulatedAdapter& adapter) : adapter_(adapter) {}
  bool QueryOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned) override {
    return issue(oid, buffer, size, bytesReturned);
  }
  bool SetOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned,
              int) override {
    return issue(oid | OidSetMask, buffer, size, bytesReturned);
  }

 private:
  bool issue(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned) {
    std::vector<uint8_t> bytes(buffer, buffer + size);
    uint32_t status = adapter_.handleRequest(IOCTL_NDIS_QUERY_GLOBAL_STATS, oid, bytes, bytesReturned);
    if (size) std::memcpy(buffer, bytes.data(), size);
    return status == 0;
  }
  SimulatedAdapter& adapter_;
};

}  // namespace ov::sim::test
