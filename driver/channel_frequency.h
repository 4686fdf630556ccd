#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

// Channel numbers and their centre frequencies in kHz, as the driver reports DSConfig.
namespace ov {

struct ChannelFrequency {
  uint32_t channel;
  uint32_t frequencyKHz;
};

namespace channel_table_detail {
constexpr std::array<ChannelFrequency, 46> Build() {
  std::array<ChannelFrequency, 46> rows{};
  std::size_t n = 0;
  for (uint32_t ch = 1; ch <= 13; ++ch) rows[n++] = {ch, 2412000 + 5000 * (ch - 1)};
  rows[n++] = {14, 2484000};
  constexpr uint32_t k5GHz[] = {34,  36,  38,  40,  42,  44,  46,  48,  52,  56,
                                60,  64,  100, 104, 108, 112, 116, 120, 124, 128,
                                132, 136, 140, 149, 153, 157, 161, 165};
  for (uint32_t ch : k5GHz) rows[n++] = {ch, 5000000 + 5000 * ch};
  for (uint32_t ch : {184u, 188u, 192u, 196u}) rows[n++] = {ch, 4000000 + 5000 * ch};
  return rows;
}
}  // namespace channel_table_detail

// Searched in this order: 2.4 GHz, 5 GHz, then the 4.9 GHz channels.
inline constexpr std::array<ChannelFrequency, 46> ChannelFrequencyTable = channel_table_detail::Build();

// Channel 14's frequency: anything up to it is the 2.4 GHz band.
constexpr uint32_t kBand24MaxFrequencyKHz = 2484000;
constexpr bool IsBand24Frequency(uint32_t frequencyKHz) {
  return frequencyKHz <= kBand24MaxFrequencyKHz;
}

// A channel that is not in the table gives channel 1's frequency, 2412000.
uint32_t ChannelToFrequency(uint32_t channel);

// A frequency that is not in the table gives 0, which is no channel: callers keep what they show.
uint32_t FrequencyToChannel(uint32_t frequencyKHz);

}  // namespace ov
