#pragma once
#include <map>
#include <string>

// CHTTable: the 802.11n PHY rate of a transmit setting, for display. Keys are
// "<width>,<guard interval>,<mcs>" with the width in MHz ("20" or "40") and the guard interval in
// ns ("800" long, "400" short), for example "40,400,15"; rates are in Mbit/s.
namespace ov {

class CHTTable {
 public:
  virtual ~CHTTable() = default;

  // Fills the table: MCS 0-15 at both widths and guard intervals, and at 40 MHz MCS 32 (the
  // duplicate mode) and MCS 33, which the program uses for "automatic". Building again leaves
  // the same table.
  void Build();

  // bandwidth non-zero means 40 MHz; shortGi 1 means the 400 ns guard interval (any other value
  // the 800 ns one). MCS 32 exists only at 40 MHz. False, with `rate` untouched, when the table
  // has no such entry.
  bool Lookup(int bandwidth, int shortGi, int mcs, double& rate) const;

  size_t size() const { return rates_.size(); }

 private:
  std::map<std::string, double> rates_;
};

}  // namespace ov
