#include "driver/oid/qos_records.h"

#include <algorithm>

#include "driver/oid/byte_codec.h"

namespace ov {

using namespace byte_codec;

// ---- BlockAckRequest ----

std::array<uint8_t, kBlockAckRequestSize> EncodeBlockAckRequest(const BlockAckRequest& r) {
  std::array<uint8_t, kBlockAckRequestSize> out{};
  PutU8(out, 0, r.Role);
  PutBytes(out, 1, r.Peer);
  PutU8(out, 7, r.Tid);
  PutU8(out, 8, r.WindowSize);
  PutU8(out, 12, r.DeleteAll);
  return out;
}

bool DecodeBlockAckRequest(std::span<const uint8_t> bytes, BlockAckRequest& r) {
  if (bytes.size() < kBlockAckRequestSize) return false;
  r.Role = GetU8(bytes, 0);
  r.Peer = GetBytes<6>(bytes, 1);
  r.Tid = GetU8(bytes, 7);
  r.WindowSize = GetU8(bytes, 8);
  r.DeleteAll = GetU8(bytes, 12);
  return true;
}

// ---- Block-ack table ----

namespace {

void EncodeBlockAckEntry(std::span<uint8_t> out, size_t at, const BlockAckEntry& e) {
  PutBytes(out, at, e.Peer);
  PutU8(out, at + 6, e.TidBitmap);
  PutU8(out, at + 7, e.Byte7);
  PutBytes(out, at + 8, e.TidValue);
  for (size_t t = 0; t < 8; ++t) PutU32(out, at + 16 + 4 * t, e.TidWord[t]);
}

BlockAckEntry DecodeBlockAckEntry(std::span<const uint8_t> bytes, size_t at) {
  BlockAckEntry e;
  e.Peer = GetBytes<6>(bytes, at);
  e.TidBitmap = GetU8(bytes, at + 6);
  e.Byte7 = GetU8(bytes, at + 7);
  e.TidValue = GetBytes<8>(bytes, at + 8);
  for (size_t t = 0; t < 8; ++t) e.TidWord[t] = GetU32(bytes, at + 16 + 4 * t);
  return e;
}

}  // namespace

std::array<uint8_t, kBlockAckTableSize> EncodeBlockAckTable(const BlockAckTable& table) {
  std::array<uint8_t, kBlockAckTableSize> out{};
  for (size_t i = 0; i < kBlockAckEntriesPerSide; ++i) {
    EncodeBlockAckEntry(out, i * kBlockAckEntrySize, table.Originator[i]);
    EncodeBlockAckEntry(out, kBlockAckRecipientOffset + i * kBlockAckEntrySize, table.Recipient[i]);
  }
  PutU8(out, 3072, table.OriginatorCount);
  PutU8(out, 3073, table.RecipientCount);
  PutBytes(out, 3074, table.Tail);
  return out;
}

bool DecodeBlockAckTable(std::span<const uint8_t> bytes, BlockAckTable& table) {
  if (bytes.size() < kBlockAckTableSize) return false;
  for (size_t i = 0; i < kBlockAckEntriesPerSide; ++i) {
    table.Originator[i] = DecodeBlockAckEntry(bytes, i * kBlockAckEntrySize);
    table.Recipient[i] =
        DecodeBlockAckEntry(bytes, kBlockAckRecipientOffset + i * kBlockAckEntrySize);
  }
  table.OriginatorCount = GetU8(bytes, 3072);
  table.RecipientCount = GetU8(bytes, 3073);
  table.Tail = GetBytes<2>(bytes, 3074);
  return true;
}

std::vector<BlockAckEntry> ListedBlockAckEntries(const BlockAckSide& side, uint8_t count) {
  std::vector<BlockAckEntry> rows;
  for (const BlockAckEntry& entry : side) {
    if (rows.size() >= count) break;
    if (entry.TidBitmap == 0) continue;
    rows.push_back(entry);
  }
  return rows;
}

// ---- Peer table ----

std::array<uint8_t, kPeerTableSize> EncodePeerTable(const PeerTable& table) {
  std::array<uint8_t, kPeerTableSize> out{};
  PutU32(out, 0, table.Count);
  for (size_t i = 0; i < PeerTable::kMaxEntries; ++i) {
    const size_t at = 4 + i * kPeerEntrySize;
    PutBytes(out, at, table.Entries[i].Peer);
    PutBytes(out, at + 6, table.Entries[i].Rest);
  }
  return out;
}

bool DecodePeerTable(std::span<const uint8_t> bytes, PeerTable& table) {
  if (bytes.size() < kPeerTableSize) return false;
  // Readers walk Count entries; a larger count would walk past the 32 the record holds.
  table.Count = std::min<uint32_t>(GetU32(bytes, 0), PeerTable::kMaxEntries);
  for (size_t i = 0; i < PeerTable::kMaxEntries; ++i) {
    const size_t at = 4 + i * kPeerEntrySize;
    table.Entries[i].Peer = GetBytes<6>(bytes, at);
    table.Entries[i].Rest = GetBytes<4>(bytes, at + 6);
  }
  return true;
}

// ---- Direct-link entries ----

namespace {

void PutDlsEntry(std::span<uint8_t> out, size_t at, const DlsEntry& e) {
  PutU16(out, at, e.TimeoutSeconds);
  PutU16(out, at + 2, e.Bytes2To3);
  PutBytes(out, at + 4, e.Peer);
  PutU8(out, at + 10, e.LinkState);
  PutU8(out, at + 11, e.Wanted);
}

DlsEntry GetDlsEntry(std::span<const uint8_t> bytes, size_t at) {
  DlsEntry e;
  e.TimeoutSeconds = GetU16(bytes, at);
  e.Bytes2To3 = GetU16(bytes, at + 2);
  e.Peer = GetBytes<6>(bytes, at + 4);
  e.LinkState = GetU8(bytes, at + 10);
  e.Wanted = GetU8(bytes, at + 11);
  return e;
}

}  // namespace

std::array<uint8_t, kDlsEntrySize> EncodeDlsEntry(const DlsEntry& entry) {
  std::array<uint8_t, kDlsEntrySize> out{};
  PutDlsEntry(out, 0, entry);
  return out;
}

bool DecodeDlsEntry(std::span<const uint8_t> bytes, DlsEntry& entry) {
  if (bytes.size() < kDlsEntrySize) return false;
  entry = GetDlsEntry(bytes, 0);
  return true;
}

std::array<uint8_t, kDlsTableSize> EncodeDlsTable(const DlsTable& table) {
  std::array<uint8_t, kDlsTableSize> out{};
  for (size_t i = 0; i < DlsTable::kEntries; ++i)
    PutDlsEntry(out, i * kDlsEntrySize, table.Entries[i]);
  return out;
}

bool DecodeDlsTable(std::span<const uint8_t> bytes, DlsTable& table) {
  if (bytes.size() < kDlsTableSize) return false;
  for (size_t i = 0; i < DlsTable::kEntries; ++i)
    table.Entries[i] = GetDlsEntry(bytes, i * kDlsEntrySize);
  return true;
}

// ---- HtOptions ----

std::array<uint8_t, kHtOptionsSize> EncodeHtOptions(const HtOptions& o) {
  return {o.WindowLimitB, o.WindowLimitA, o.Aggregation, o.MpduDensity,
          o.AmsduEnable,  o.AmsduSize,    o.SmpsCode,    o.AutoBlockAck};
}

bool DecodeHtOptions(std::span<const uint8_t> bytes, HtOptions& o) {
  if (bytes.size() < kHtOptionsSize) return false;
  o.WindowLimitB = bytes[0];
  o.WindowLimitA = bytes[1];
  o.Aggregation = bytes[2];
  o.MpduDensity = bytes[3];
  o.AmsduEnable = bytes[4];
  o.AmsduSize = bytes[5];
  o.SmpsCode = bytes[6];
  o.AutoBlockAck = bytes[7];
  return true;
}

uint32_t EncodeBaCapability(const HtOptions& o) {
  return uint32_t{o.WindowLimitB} | uint32_t{o.WindowLimitA} << 8 | (o.AutoBlockAck & 1u) << 16 |
         (o.Aggregation & 3u) << 17 | (o.MpduDensity & 7u) << 19 | (o.AmsduEnable & 1u) << 22 |
         (o.AmsduSize & 1u) << 23 | (o.SmpsCode & 3u) << 24;
}

HtOptions DecodeBaCapability(uint32_t w) {
  HtOptions o;
  o.WindowLimitB = static_cast<uint8_t>(w & 0xFF);
  o.WindowLimitA = static_cast<uint8_t>((w >> 8) & 0xFF);
  o.AutoBlockAck = static_cast<uint8_t>((w >> 16) & 1);
  o.Aggregation = static_cast<uint8_t>((w >> 17) & 3);
  o.MpduDensity = static_cast<uint8_t>((w >> 19) & 7);
  o.AmsduEnable = static_cast<uint8_t>((w >> 22) & 1);
  o.AmsduSize = static_cast<uint8_t>((w >> 23) & 1);
  o.SmpsCode = static_cast<uint8_t>((w >> 24) & 3);
  return o;
}

// ---- TSPEC ----

std::array<uint8_t, kCcxTspecSize> EncodeCcxTspec(const CcxTspec& t) {
  std::array<uint8_t, kCcxTspecSize> out{};
  PutU16(out, 0, t.Action);
  PutU16(out, 2, t.DialogToken);
  PutU8(out, 4, t.Tid);
  PutU8(out, 5, t.Direction);
  PutU8(out, 6, t.AccessPolicy);
  PutU8(out, 7, t.UserPriority);
  PutU16(out, 8, t.Psb);
  PutU16(out, 10, t.NominalMsduSize);
  PutU16(out, 12, t.InactivityInterval);
  PutU32(out, 16, t.MeanDataRate);
  PutU32(out, 20, t.MinPhyRate);
  PutU16(out, 24, t.SurplusBandwidth);
  PutU16(out, 26, t.TclasProcessing);
  return out;
}

bool DecodeCcxTspec(std::span<const uint8_t> bytes, CcxTspec& t) {
  if (bytes.size() < kCcxTspecSize) return false;
  t.Action = GetU16(bytes, 0);
  t.DialogToken = GetU16(bytes, 2);
  t.Tid = GetU8(bytes, 4);
  t.Direction = GetU8(bytes, 5);
  t.AccessPolicy = GetU8(bytes, 6);
  t.UserPriority = GetU8(bytes, 7);
  t.Psb = GetU16(bytes, 8);
  t.NominalMsduSize = GetU16(bytes, 10);
  t.InactivityInterval = GetU16(bytes, 12);
  t.MeanDataRate = GetU32(bytes, 16);
  t.MinPhyRate = GetU32(bytes, 20);
  t.SurplusBandwidth = GetU16(bytes, 24);
  t.TclasProcessing = GetU16(bytes, 26);
  return true;
}

}  // namespace ov
