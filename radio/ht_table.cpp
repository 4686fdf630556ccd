#include "radio/ht_table.h"

#include <array>
#include <cstdio>

namespace ov {

namespace {

struct RateRow {
  const char* width;
  const char* guardInterval;
  std::array<double, 16> mcs0to15;
};

// One and two spatial streams. The short-GI 20 MHz rates of MCS 8-15 keep three decimals as
// they were first tabled; the rest one.
constexpr RateRow kRows[] = {
    {"20", "800", {6.5, 13.0, 19.5, 26.0, 39.0, 52.0, 58.5, 65.0,
                   13.0, 26.0, 39.0, 52.0, 78.0, 104.0, 117.0, 130.0}},
    {"20", "400", {7.2, 14.4, 21.7, 28.9, 43.3, 57.8, 65.0, 72.2,
                   14.444, 28.889, 43.333, 57.778, 86.667, 115.556, 130.0, 144.444}},
    {"40", "800", {13.5, 27.0, 40.5, 54.0, 81.0, 108.0, 121.5, 135.0,
                   27.0, 54.0, 81.0, 108.0, 162.0, 216.0, 243.0, 270.0}},
    {"40", "400", {15.0, 30.0, 45.0, 60.0, 90.0, 120.0, 135.0, 150.0,
                   30.0, 60.0, 90.0, 120.0, 180.0, 240.0, 270.0, 300.0}},
};

// 40 MHz only: MCS 32 and the "automatic" MCS 33, long then short guard interval.
constexpr double kMcs32[] = {6.0, 6.7};
constexpr double kMcs33[] = {39.0, 43.3};

std::string Key(const char* width, const char* guardInterval, int mcs) {
  return std::string(width) + "," + guardInterval + "," + std::to_string(mcs);
}

}  // namespace

void CHTTable::Build() {
  for (const RateRow& row : kRows) {
    for (int mcs = 0; mcs < 16; ++mcs) rates_[Key(row.width, row.guardInterval, mcs)] = row.mcs0to15[mcs];
  }
  rates_[Key("40", "800", 32)] = kMcs32[0];
  rates_[Key("40", "400", 32)] = kMcs32[1];
  rates_[Key("40", "800", 33)] = kMcs33[0];
  rates_[Key("40", "400", 33)] = kMcs33[1];
}

bool CHTTable::Lookup(int bandwidth, int shortGi, int mcs, double& rate) const {
  const char* width = "40";
  if (bandwidth == 0) {
    if (mcs == 32) return false;
    width = "20";
  }
  const auto found = rates_.find(Key(width, shortGi == 1 ? "400" : "800", mcs));
  if (found == rates_.end()) return false;
  rate = found->second;
  return true;
}

}  // namespace ov
