#include "driver/signal_strength.h"

namespace ov {

int32_t RssiToPercent(int32_t dBm) {
  // Integer tenths keep the truncation exact where 2.6 in floating point would not be.
  if (dBm >= -50) return 100;
  if (dBm >= -80) return (dBm + 80) * 26 / 10 + 24;
  if (dBm >= -90) return (dBm + 90) * 26 / 10;
  return 0;
}

}  // namespace ov
