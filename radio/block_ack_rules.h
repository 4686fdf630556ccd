#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/oid/qos_records.h"

// The block-ack agreement lists of the 802.11n page and the peer list of the add and delete
// panels; data in, data out.
namespace ov {

// One row of an agreement list: the peer as "%02X-%02X-%02X-%02X-%02X-%02X", then per TID the
// agreement's value as "%d", or "-" without an agreement for that TID.
using BlockAckRow = std::array<std::string, 9>;

// The rows of one side of the driver's table, in table order: entries without an agreement are
// skipped and the walk stops after `count` rows.
std::vector<BlockAckRow> BlockAckRows(const BlockAckSide& side, uint8_t count);

// The peers the panels offer: the table's addresses within its count, all-zero ones left out, in
// table order, except that the current BSSID, when it is among them, comes first.
std::vector<MacAddress> BlockAckPeers(const PeerTable& table,
                                      const std::optional<MacAddress>& currentBssid);

// A row's address text back into an address: the text without its "-" separators, read as
// twelve hexadecimal digits. Nothing for any other text.
std::optional<MacAddress> ParseMacText(std::string_view text);

}  // namespace ov
