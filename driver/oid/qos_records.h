#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "driver/oid/ndis_records.h"

// Vendor records of the QoS requests: block-ack requests and the block-ack session table, the
// peer table, direct-link entries, the 802.11n option record with its registry word, and the
// admission-control (TSPEC) record. Encode gives the exact bytes; Decode fails, leaving the
// record untouched, when the buffer is shorter than the record. Little-endian throughout.
namespace ov {

// ---- BlockAckRequest (14 bytes): add (OID_VND_BA_TABLE set) or tear down (OID_VND_DELETE_BA) ----
enum BlockAckRole : uint8_t {
  BLOCK_ACK_ORIGINATOR = 0,
  BLOCK_ACK_RECIPIENT = 1,
};
struct BlockAckRequest {
  uint8_t Role = BLOCK_ACK_ORIGINATOR;  // byte 0
  MacAddress Peer{};                    // bytes 1-6
  uint8_t Tid = 0;                      // byte 7, 0-7
  uint8_t WindowSize = 0;               // byte 8, add requests
  uint8_t DeleteAll = 0;                // byte 12, delete requests
  bool operator==(const BlockAckRequest&) const = default;
};  // bytes 9, 10, 11 and 13 are always zero
constexpr size_t kBlockAckRequestSize = 14;
std::array<uint8_t, kBlockAckRequestSize> EncodeBlockAckRequest(const BlockAckRequest& request);
bool DecodeBlockAckRequest(std::span<const uint8_t> bytes, BlockAckRequest& request);

// ---- Block-ack session table (3076 bytes) ----
struct BlockAckEntry {
  MacAddress Peer{};                  // bytes 0-5
  uint8_t TidBitmap = 0;              // byte 6: bit t set = a session for TID t
  uint8_t Byte7 = 0;                  // byte 7: the driver's
  std::array<uint8_t, 8> TidValue{};  // bytes 8-15: one shown value per TID
  std::array<uint32_t, 8> TidWord{};  // bytes 16-47: one driver value per TID, not shown
  bool operator==(const BlockAckEntry&) const = default;
};
constexpr size_t kBlockAckEntrySize = 48;
constexpr size_t kBlockAckEntriesPerSide = 32;
using BlockAckSide = std::array<BlockAckEntry, kBlockAckEntriesPerSide>;

struct BlockAckTable {
  BlockAckSide Originator{};      // from offset 0
  BlockAckSide Recipient{};       // from offset 1536
  uint8_t OriginatorCount = 0;    // offset 3072
  uint8_t RecipientCount = 0;     // offset 3073
  std::array<uint8_t, 2> Tail{};  // offsets 3074-3075: the driver's
  bool operator==(const BlockAckTable&) const = default;
};
constexpr size_t kBlockAckTableSize = 3076;
constexpr size_t kBlockAckRecipientOffset = 1536;
std::array<uint8_t, kBlockAckTableSize> EncodeBlockAckTable(const BlockAckTable& table);
bool DecodeBlockAckTable(std::span<const uint8_t> bytes, BlockAckTable& table);

// The entries one side of the table lists, in table order: entries without any TID session are
// skipped, and the walk stops after `count` rows (at most the 32 entries).
std::vector<BlockAckEntry> ListedBlockAckEntries(const BlockAckSide& side, uint8_t count);

// ---- Peer table (324 bytes): ULONG count, then up to 32 entries of 10 bytes ----
struct PeerEntry {
  MacAddress Peer{};
  std::array<uint8_t, 4> Rest{};  // the driver's
  bool operator==(const PeerEntry&) const = default;
};
struct PeerTable {
  static constexpr size_t kMaxEntries = 32;
  uint32_t Count = 0;  // decoded counts above 32 are cut to 32
  std::array<PeerEntry, kMaxEntries> Entries{};
  bool operator==(const PeerTable&) const = default;
};
constexpr size_t kPeerEntrySize = 10;
constexpr size_t kPeerTableSize = 324;
std::array<uint8_t, kPeerTableSize> EncodePeerTable(const PeerTable& table);
bool DecodePeerTable(std::span<const uint8_t> bytes, PeerTable& table);

// ---- Direct-link entry (12 bytes) and the 4-entry table answer (48 bytes) ----
constexpr uint8_t DLS_LINK_ESTABLISHED = 2;
struct DlsEntry {
  uint16_t TimeoutSeconds = 0;  // bytes 0-1
  uint16_t Bytes2To3 = 0;       // zero in requests
  MacAddress Peer{};            // bytes 4-9
  uint8_t LinkState = 0;        // byte 10: 2 = established; 0 in requests
  uint8_t Wanted = 0;           // byte 11: 1 set up / in use, 0 tear down
  bool operator==(const DlsEntry&) const = default;
};
constexpr size_t kDlsEntrySize = 12;
struct DlsTable {
  static constexpr size_t kEntries = 4;
  std::array<DlsEntry, kEntries> Entries{};
  bool operator==(const DlsTable&) const = default;
};
constexpr size_t kDlsTableSize = 48;
std::array<uint8_t, kDlsEntrySize> EncodeDlsEntry(const DlsEntry& entry);
bool DecodeDlsEntry(std::span<const uint8_t> bytes, DlsEntry& entry);
std::array<uint8_t, kDlsTableSize> EncodeDlsTable(const DlsTable& table);
bool DecodeDlsTable(std::span<const uint8_t> bytes, DlsTable& table);

// ---- HtOptions (8 bytes, OID_VND_HT_OPTIONS) ----
constexpr uint8_t HT_AGGREGATION_ON = 1;
constexpr uint8_t HT_AGGREGATION_OFF = 2;
// Byte 6, by the page's radio button: "SM enable" 3, "Static SMPS" 0, "Dynamic SMPS" 1.
constexpr uint8_t HT_SMPS_CODE_ENABLE = 3;
constexpr uint8_t HT_SMPS_CODE_STATIC = 0;
constexpr uint8_t HT_SMPS_CODE_DYNAMIC = 1;
struct HtOptions {
  uint8_t WindowLimitB = 0;  // byte 0
  uint8_t WindowLimitA = 0;  // byte 1
  uint8_t Aggregation = 0;   // byte 2: 1 on, 2 off
  uint8_t MpduDensity = 0;   // byte 3
  uint8_t AmsduEnable = 0;   // byte 4
  uint8_t AmsduSize = 0;     // byte 5
  uint8_t SmpsCode = 0;      // byte 6
  uint8_t AutoBlockAck = 0;  // byte 7: 1 auto, 0 manual
  bool operator==(const HtOptions&) const = default;
};
constexpr size_t kHtOptionsSize = 8;
std::array<uint8_t, kHtOptionsSize> EncodeHtOptions(const HtOptions& options);
bool DecodeHtOptions(std::span<const uint8_t> bytes, HtOptions& options);

// The "BACapability" registry word of the same record: bits 0-7 byte 0, 8-15 byte 1, 16 byte 7,
// 17-18 byte 2, 19-21 byte 3, 22 byte 4, 23 byte 5, 24-25 byte 6; bits 26-31 written as 0.
// Fields wider than their bits are cut.
uint32_t EncodeBaCapability(const HtOptions& options);
HtOptions DecodeBaCapability(uint32_t word);

// ---- Admission-control TSPEC record (156 bytes; unlisted bytes are zero) ----
enum TspecAction : uint16_t {
  TSPEC_ADDTS_TSPEC_ONLY = 0,
  TSPEC_ADDTS_DIRECT = 1,
  TSPEC_DELTS = 2,
  TSPEC_RESET = 3,
};
struct CcxTspec {
  uint16_t Action = 0;              // offset 0
  uint16_t DialogToken = 0;         // offset 2
  uint8_t Tid = 0;                  // offset 4
  uint8_t Direction = 0;            // offset 5: 0 up, 1 down, 3 both
  uint8_t AccessPolicy = 0;         // offset 6: 0 EDCA
  uint8_t UserPriority = 0;         // offset 7
  uint16_t Psb = 0;                 // offset 8: 0 legacy, 1 U-APSD
  uint16_t NominalMsduSize = 0;     // offset 10: bits 0-14 size, bit 15 fixed
  uint16_t InactivityInterval = 0;  // offset 12, seconds
  uint32_t MeanDataRate = 0;        // offset 16, bit/s
  uint32_t MinPhyRate = 0;          // offset 20, bit/s
  uint16_t SurplusBandwidth = 0;    // offset 24
  uint16_t TclasProcessing = 0;     // offset 26: 0 partial, 1 total match
  bool operator==(const CcxTspec&) const = default;
};
constexpr size_t kCcxTspecSize = 156;
std::array<uint8_t, kCcxTspecSize> EncodeCcxTspec(const CcxTspec& tspec);
bool DecodeCcxTspec(std::span<const uint8_t> bytes, CcxTspec& tspec);

}  // namespace ov
