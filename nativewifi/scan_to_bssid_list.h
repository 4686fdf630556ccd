#pragma once
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "driver/oid/bssid_list.h"
#include "nativewifi/wlansvc/wlan_service.h"

// The service's scan results in the driver's scan-list layout, which the monitor, the site survey
// and the WPS page read (driver/oid/bssid_list.h).
namespace ov {

// One BSS entry of the service as one scan-list entry: privacy from bit 4 of the capability
// information, the PHY type as the NDIS network type (HT by band), the centre frequency as
// DSConfig, the BSS type as the infrastructure mode, the first 16 rates that a rate octet can
// carry (bit 7 for a basic rate), the elements copied.
std::vector<uint8_t> BssEntryToBssidEntry(const wlan::BssEntry& bss);

// The infrastructure mode of a BSS type: infrastructure 1, independent 0, anything else 2.
uint32_t InfrastructureModeForBssType(wlan::BssType type);

// What one conversion put into the list.
struct ScanListFill {
  uint32_t status = ERROR_SUCCESS;  // of the available-network list; the buffer is empty otherwise
  uint32_t entries = 0;             // entries in the list
  bool full = false;                // an entry did not fit, and the filling ended there
};

// ScanToBssidList: zeroes `buffer` (the 64 KB scan list), then appends one entry per BSS of every
// network of the available-network list that is listed without a profile (the same network is
// listed again for each of its profiles), asking for each network's BSS list with its SSID, BSS
// type and security flag. BSSs that no network names (a hidden network's beacons carry no SSID)
// follow from the unfiltered BSS list, each BSSID once. The first entry that does not fit ends
// the filling: the list holds whole entries only.
ScanListFill ScanToBssidList(wlan::WlanService& service, wlan::ClientHandle handle,
                             const wlan::Guid& interfaceGuid, std::span<uint8_t> buffer);

// The latest scan list the scan worker made, handed over to the user-interface thread. The worker
// builds its list apart and swaps it in under the lock, so the reader on the other side never sees
// a list half written by a later scan.
class ScanListSlot {
 public:
  // Takes the worker's finished list (kBssidListBufferSize bytes).
  void Publish(std::vector<uint8_t> list);
  // Copies the latest list into `out` (the monitor's BssidListBuffer), zero-filling what the list
  // does not cover. False, and `out` untouched, before the first list.
  bool CopyTo(std::span<uint8_t> out) const;
  // Number of lists published so far.
  uint64_t generation() const;

 private:
  mutable std::mutex mutex_;
  std::vector<uint8_t> list_;
  uint64_t generation_ = 0;
};

}  // namespace ov
