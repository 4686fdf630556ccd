#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "driver/oid/radio_records.h"
#include "lang/language_keys.h"

// The statistics tabs' rows: which counter each shows and how, from one reading of the driver's
// statistics record and the receive-buffer counter.
namespace ov::statistics {

struct Row {
  LanguageKey label;
  bool hidden = false;  // laid out and written, never shown
};
inline constexpr std::array<Row, 6> kTransmitRows = {{{IDS_STA_TXOK},
                                                      {IDS_STA_TXOKNORETRY, true},
                                                      {IDS_STA_TXOKRETRY},
                                                      {IDS_STA_TXOKALLRETRY},
                                                      {IDS_STA_RTSOK},
                                                      {IDS_STA_RTSFAIL}}};
inline constexpr std::array<Row, 4> kReceiveRows = {
    {{IDS_STA_RXOK}, {IDS_STA_RXCRC}, {IDS_STA_DROP}, {IDS_STA_RXDUPLI}}};

struct Values {
  std::array<std::string, kTransmitRows.size()> transmit;
  std::array<std::string, kReceiveRows.size()> receive;
};

// A failed statistics query reads as zeros, a failed receive-buffer query as 0. Counters are
// shown as signed 64-bit numbers (the hidden "without retry" row may be negative), the received
// frames and the dropped ones as their low 32 bits.
Values FormatStatistics(const std::optional<DriverStatistics>& stats, std::optional<uint32_t> noBuffer);
// What Reset Counter shows until the next refresh.
Values ZeroValues();

}  // namespace ov::statistics
