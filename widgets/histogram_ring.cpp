#include "widgets/histogram_ring.h"

#include <algorithm>
#include <cmath>

namespace ov {

HistogramRing::HistogramRing(size_t capacity) : samples_(std::max<size_t>(capacity, 1), 0.0) {}

void HistogramRing::Add(double sample) {
  samples_[next_] = std::isfinite(sample) && sample > 0 ? sample : 0.0;
  next_ = (next_ + 1) % samples_.size();
}

void HistogramRing::Clear() {
  std::fill(samples_.begin(), samples_.end(), 0.0);
  next_ = 0;
}

double HistogramRing::Newest(size_t age) const {
  if (age >= samples_.size()) return 0.0;
  const size_t size = samples_.size();
  return samples_[(next_ + size - 1 - age) % size];
}

int HistogramBarHeight(int plotHeight, double sample, double fullScale) {
  if (plotHeight <= 0 || !(fullScale > 0) || !std::isfinite(fullScale) || !(sample > 0)) return 0;
  const double height = (plotHeight - 2) * (sample / fullScale);
  if (!std::isfinite(height) || height >= plotHeight) return plotHeight;
  return std::max(0, static_cast<int>(height));
}

}  // namespace ov
