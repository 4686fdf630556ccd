#include "radio/wmm_rules.h"

#include "platform/system/hex_text.h"
#include "platform/system/mac_address.h"

namespace ov {

uint32_t WmmFlagsAfterWmmSwitch(uint32_t driverWord, bool wmmOn, bool powerSaveOn) {
  return driverWord & (wmmOn && powerSaveOn ? kWmmKeepWithPowerSave : kWmmKeepWithoutPowerSave);
}

uint32_t WmmFlagsAfterPowerSaveSwitch(uint32_t driverWord, bool powerSaveOn) {
  return powerSaveOn ? driverWord | kWmmPowerSaveBit : driverWord & kWmmKeepWithoutPowerSave;
}

uint32_t WmmFlagsOfCategories(const WmmCategories& ticked) {
  uint32_t word = kWmmPowerSaveBit;
  for (size_t i = 0; i < ticked.size(); ++i) {
    if (ticked[i]) word |= 1u << (i + 1);
  }
  return word;
}

WmmCategories CategoriesSetIn(uint32_t driverWord) {
  WmmCategories set{};
  for (size_t i = 0; i < set.size(); ++i) set[i] = (driverWord >> (i + 1) & 1) != 0;
  return set;
}

std::string PowerSaveStatusText(bool powerSaveOn, const WmmCategories& ticked,
                                std::string_view enabled, std::string_view disabled) {
  if (!powerSaveOn) return std::string(disabled);
  std::string text(enabled);
  for (size_t i = 0; i < ticked.size(); ++i) {
    if (ticked[i]) text.append(":").append(kWmmCategoryNames[i]);
  }
  return text;
}

DlsPeer CheckDlsPeer(const std::array<std::string, 6>& parts,
                     const std::optional<MacAddress>& ownAddress) {
  DlsPeer peer;
  std::string digits;
  for (const std::string& part : parts) {
    if (part.size() != 2) return peer;
    digits += part;
  }
  const std::optional<std::vector<uint8_t>> bytes = HexDecode(digits);
  if (!bytes || bytes->size() != peer.address.size()) return peer;
  std::copy(bytes->begin(), bytes->end(), peer.address.begin());
  const MacAddress allOnes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  if (peer.address == MacAddress{} || peer.address == allOnes ||
      (ownAddress && peer.address == *ownAddress)) {
    return peer;
  }
  peer.storedText = digits;
  peer.check = (peer.address[0] & 0x01) != 0 ? DlsPeerCheck::GroupAddress : DlsPeerCheck::Ok;
  return peer;
}

std::optional<uint16_t> ParseDlsTimeout(std::string_view text) {
  if (text.empty()) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(c - '0');
    if (value > 0xFFFF) return std::nullopt;
  }
  return static_cast<uint16_t>(value);
}

std::array<std::string, 6> SplitStoredPeer(std::string_view stored) {
  std::array<std::string, 6> parts;
  for (size_t i = 0; i < parts.size() && 2 * i < stored.size(); ++i) {
    parts[i] = std::string(stored.substr(2 * i, 2));
  }
  return parts;
}

std::vector<DlsRow> DlsRows(const DlsTable& table) {
  std::vector<DlsRow> rows;
  for (const DlsEntry& entry : table.Entries) {
    if (entry.LinkState == DLS_LINK_ESTABLISHED && entry.Wanted == 1) {
      rows.push_back({FormatMacAddress(entry.Peer), std::to_string(entry.TimeoutSeconds)});
    }
  }
  return rows;
}

std::optional<DlsEntry> DlsTearDownRequest(const DlsTable& table, std::string_view selectedAddress) {
  for (const DlsEntry& entry : table.Entries) {
    if (entry.Wanted == 1 && FormatMacAddress(entry.Peer) == selectedAddress) {
      DlsEntry request = entry;
      request.Wanted = 0;
      return request;
    }
  }
  return std::nullopt;
}

}  // namespace ov
