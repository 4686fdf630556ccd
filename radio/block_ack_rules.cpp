#include "radio/block_ack_rules.h"

#include <algorithm>

#include "platform/system/hex_text.h"
#include "platform/system/mac_address.h"

namespace ov {

std::vector<BlockAckRow> BlockAckRows(const BlockAckSide& side, uint8_t count) {
  std::vector<BlockAckRow> rows;
  for (const BlockAckEntry& entry : ListedBlockAckEntries(side, count)) {
    BlockAckRow row;
    row[0] = FormatMacAddress(entry.Peer);
    for (int tid = 0; tid < 8; ++tid) {
      const bool agreed = (entry.TidBitmap >> tid & 1) != 0;
      row[1 + tid] = agreed ? std::to_string(entry.TidValue[tid]) : "-";
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<MacAddress> BlockAckPeers(const PeerTable& table,
                                      const std::optional<MacAddress>& currentBssid) {
  std::vector<MacAddress> peers;
  const size_t count = std::min<size_t>(table.Count, PeerTable::kMaxEntries);
  for (size_t i = 0; i < count; ++i) {
    if (table.Entries[i].Peer != MacAddress{}) peers.push_back(table.Entries[i].Peer);
  }
  if (currentBssid && *currentBssid != MacAddress{}) {
    auto found = std::find(peers.begin(), peers.end(), *currentBssid);
    if (found != peers.end()) std::rotate(peers.begin(), found, found + 1);
  }
  return peers;
}

std::optional<MacAddress> ParseMacText(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c != '-') digits.push_back(c);
  }
  if (digits.size() != 12) return std::nullopt;
  const std::optional<std::vector<uint8_t>> bytes = HexDecode(digits);
  if (!bytes) return std::nullopt;
  MacAddress mac{};
  std::copy(bytes->begin(), bytes->end(), mac.begin());
  return mac;
}

}  // namespace ov
