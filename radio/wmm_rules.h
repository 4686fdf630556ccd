#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/oid/qos_records.h"

// The WMM page's rules: the WMM flag word, the power-save status text, the checks of a direct
// link set-up, and the direct-link list; data in, data out.
namespace ov {

// The WMM flag word (OID_VND_WMM_FLAGS): bit 0 power save, bits 1-4 the access categories.
inline constexpr uint32_t kWmmPowerSaveBit = 0x01;
inline constexpr uint32_t kWmmKeepWithoutPowerSave = 0x7E;
inline constexpr uint32_t kWmmKeepWithPowerSave = 0x7F;

// The four categories in the order of the flag bits 1-4 and of the status text.
enum WmmAccessCategory { kAcBe = 0, kAcBk = 1, kAcVi = 2, kAcVo = 3 };
using WmmCategories = std::array<bool, 4>;  // by WmmAccessCategory
inline constexpr std::array<const char*, 4> kWmmCategoryNames = {"AC_BE", "AC_BK", "AC_VI", "AC_VO"};

// The word sent after WMM was switched: power save kept only while WMM and power save are on.
uint32_t WmmFlagsAfterWmmSwitch(uint32_t driverWord, bool wmmOn, bool powerSaveOn);
// The word sent after power save was switched.
uint32_t WmmFlagsAfterPowerSaveSwitch(uint32_t driverWord, bool powerSaveOn);
// The word sent after a category box changed: power save on with the ticked categories.
uint32_t WmmFlagsOfCategories(const WmmCategories& ticked);
// The categories whose bit the driver's word sets (a clear bit leaves a box as it was).
WmmCategories CategoriesSetIn(uint32_t driverWord);

// The power-save status: `enabled` followed by ":AC_BE", ":AC_BK", ":AC_VI", ":AC_VO" for each
// ticked category while power save is on; `disabled` otherwise.
std::string PowerSaveStatusText(bool powerSaveOn, const WmmCategories& ticked,
                                std::string_view enabled, std::string_view disabled);

// ---- Direct link set-up ----

enum class DlsPeerCheck {
  Ok,
  InvalidAddress,  // not six pairs of hex digits, all zeros, all ones, or the adapter's own
  GroupAddress,    // bit 0 of the first byte set
};
struct DlsPeer {
  DlsPeerCheck check = DlsPeerCheck::InvalidAddress;
  MacAddress address{};
  std::string storedText;  // the twelve characters as typed, for "WMMMacAddr"
};
// The peer of the six address edits. `ownAddress` is the adapter's (nothing when unknown).
DlsPeer CheckDlsPeer(const std::array<std::string, 6>& parts,
                     const std::optional<MacAddress>& ownAddress);

// The timeout text as seconds: decimal digits only, 0 to 65535; nothing otherwise.
std::optional<uint16_t> ParseDlsTimeout(std::string_view text);

// "WMMMacAddr" split for the six edits: two characters each, empty beyond the text.
std::array<std::string, 6> SplitStoredPeer(std::string_view stored);

// One row of the direct-link list.
struct DlsRow {
  std::string address;  // "%02X-%02X-%02X-%02X-%02X-%02X"
  std::string timeout;  // seconds, "%d"
  bool operator==(const DlsRow&) const = default;
};
// The links the driver reports established and wanted, in table order.
std::vector<DlsRow> DlsRows(const DlsTable& table);

// The request that tears down the selected link: the first wanted entry whose address text is
// `selectedAddress`, sent back with byte 11 = 0. Nothing when no entry matches.
std::optional<DlsEntry> DlsTearDownRequest(const DlsTable& table, std::string_view selectedAddress);

}  // namespace ov
