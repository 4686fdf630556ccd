#pragma once
#include <cstdint>

namespace ov {

// Signal in dBm to the percentage shown by the tray, link status and survey: 100 from -50 dBm,
// falling 2.6 points per dB to 24 at -80, then from 23 at -81 to 0 at -90 and below.
int32_t RssiToPercent(int32_t dBm);

}  // namespace ov
