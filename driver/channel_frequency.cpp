#include "driver/channel_frequency.h"

namespace ov {

uint32_t ChannelToFrequency(uint32_t channel) {
  for (const ChannelFrequency& row : ChannelFrequencyTable) {
    if (row.channel == channel) return row.frequencyKHz;
  }
  return 2412000;
}

uint32_t FrequencyToChannel(uint32_t frequencyKHz) {
  for (const ChannelFrequency& row : ChannelFrequencyTable) {
    if (row.frequencyKHz == frequencyKHz) return row.channel;
  }
  return 0;
}

}  // namespace ov
