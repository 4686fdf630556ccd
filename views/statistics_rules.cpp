#include "views/statistics_rules.h"

namespace ov::statistics {

namespace {

std::string Signed(uint64_t counter) { return std::to_string(static_cast<int64_t>(counter)); }

}  // namespace

Values FormatStatistics(const std::optional<DriverStatistics>& read, std::optional<uint32_t> noBuffer) {
  const DriverStatistics stats = read.value_or(DriverStatistics{});
  const uint64_t sent = stats.Counter(STAT_TX_SUCCESS);
  const uint64_t retried = stats.Counter(STAT_TX_RETRIED);
  Values v;
  v.transmit = {Signed(sent),
                Signed(sent - retried),
                Signed(retried),
                Signed(stats.Counter(STAT_TX_FAIL_ALL_RETRIES)),
                Signed(stats.Counter(STAT_RTS_SUCCESS)),
                Signed(stats.Counter(STAT_RTS_FAILURE))};
  v.receive = {std::to_string(static_cast<uint32_t>(stats.Counter(STAT_RX_SUCCESS))),
               Signed(stats.Counter(STAT_RX_CRC_ERROR)),
               std::to_string(noBuffer.value_or(0)),
               Signed(stats.Counter(STAT_RX_DUPLICATE))};
  return v;
}

Values ZeroValues() {
  Values v;
  v.transmit.fill("0");
  v.receive.fill("0");
  return v;
}

}  // namespace ov::statistics
