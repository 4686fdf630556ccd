#pragma once
#include <cstddef>
#include <vector>

// The samples of a scrolling graph: a ring as long as the plot can ever be wide, newest last.
// Plain data, so the drawing rules are tested without a window.
namespace ov {

class HistogramRing {
 public:
  explicit HistogramRing(size_t capacity);

  // A sample that is not a number or below zero counts as 0.
  void Add(double sample);
  void Clear();
  size_t Capacity() const { return samples_.size(); }
  // The `age`-th newest sample (0 = newest); 0 beyond the ring.
  double Newest(size_t age) const;

 private:
  std::vector<double> samples_;
  size_t next_ = 0;
};

// Height in pixels of one bar: (plot height - 2) x sample / full scale, never above the plot
// height; a full scale of 0 (or less) draws nothing.
int HistogramBarHeight(int plotHeight, double sample, double fullScale);

}  // namespace ov
