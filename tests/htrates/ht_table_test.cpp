// CHTTable against the 802.11n rate table computed from the standard's data bits per symbol
// (kept beside the project), and its keys at their edges.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "radio/ht_table.h"
#include "tests/support/test_data.h"

namespace ov {
namespace {

struct CsvRow {
  int mcs;
  double rate20Long, rate20Short, rate40Long, rate40Short;
};

std::vector<CsvRow> ReadRateCsv() {
  std::ifstream in(test::TestData() / "ht_mcs_0_31.csv");
  EXPECT_TRUE(in.good()) << "cannot read ht_mcs_0_31.csv";
  std::vector<CsvRow> rows;
  std::string line;
  std::getline(in, line);  // mcs,streams,modulation,coding,rate_20_lgi,rate_20_sgi,rate_40_lgi,rate_40_sgi
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    std::stringstream fields(line);
    for (std::string cell; std::getline(fields, cell, ',');) cells.push_back(cell);
    if (cells.size() != 8) continue;
    rows.push_back({std::stoi(cells[0]), std::stod(cells[4]), std::stod(cells[5]), std::stod(cells[6]),
                    std::stod(cells[7])});
  }
  return rows;
}

CHTTable BuiltTable() {
  CHTTable table;
  table.Build();
  return table;
}

TEST(CHTTable, AgreesWithTheComputedRatesForMcs0To15) {
  const CHTTable table = BuiltTable();
  const auto rows = ReadRateCsv();
  ASSERT_EQ(rows.size(), 32u);
  for (const CsvRow& row : rows) {
    if (row.mcs > 15) continue;
    SCOPED_TRACE("MCS " + std::to_string(row.mcs));
    struct Setting {
      int bandwidth, shortGi;
      double want;
    };
    for (const Setting& s : {Setting{0, 0, row.rate20Long}, Setting{0, 1, row.rate20Short},
                             Setting{1, 0, row.rate40Long}, Setting{1, 1, row.rate40Short}}) {
      double rate = -1;
      ASSERT_TRUE(table.Lookup(s.bandwidth, s.shortGi, row.mcs, rate)) << "bw " << s.bandwidth << " sgi " << s.shortGi;
      // The file rounds to one decimal; the table keeps three at 20 MHz short GI for MCS 8-15.
      EXPECT_NEAR(rate, s.want, 0.05) << "bw " << s.bandwidth << " sgi " << s.shortGi;
    }
  }
}

TEST(CHTTable, StoredPrecisionAndSpecialMcs) {
  const CHTTable table = BuiltTable();
  EXPECT_EQ(table.size(), 68u);
  struct Case {
    int bandwidth, shortGi, mcs;
    bool found;
    double rate;
  };
  const std::vector<Case> cases = {
      {0, 1, 7, true, 72.2},      {0, 1, 8, true, 14.444},   {0, 1, 15, true, 144.444},
      {0, 1, 13, true, 115.556},  {0, 0, 15, true, 130.0},   {1, 1, 15, true, 300.0},
      {0, 0, 32, false, 0},       {0, 1, 32, false, 0},      {1, 0, 32, true, 6.0},
      {1, 1, 32, true, 6.7},      {1, 0, 33, true, 39.0},    {1, 1, 33, true, 43.3},
      {0, 0, 33, false, 0},       {0, 1, 33, false, 0},      {1, 0, 16, false, 0},
      {0, 0, -1, false, 0},       {1, 0, 31, false, 0},
      // Any non-zero bandwidth is 40 MHz; a short-GI value other than 1 is the long interval.
      {7, 0, 0, true, 13.5},      {0, 2, 0, true, 6.5},      {1, -1, 7, true, 135.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("bw " + std::to_string(c.bandwidth) + " sgi " + std::to_string(c.shortGi) + " mcs " +
                 std::to_string(c.mcs));
    double rate = -2.5;
    EXPECT_EQ(table.Lookup(c.bandwidth, c.shortGi, c.mcs, rate), c.found);
    EXPECT_DOUBLE_EQ(rate, c.found ? c.rate : -2.5) << "a miss leaves the rate alone";
  }
}

TEST(CHTTable, EmptyUntilBuiltAndBuildingTwiceChangesNothing) {
  CHTTable table;
  double rate = 0;
  EXPECT_FALSE(table.Lookup(0, 0, 0, rate));
  table.Build();
  table.Build();
  EXPECT_EQ(table.size(), 68u);
  ASSERT_TRUE(table.Lookup(0, 0, 0, rate));
  EXPECT_DOUBLE_EQ(rate, 6.5);
}

}  // namespace
}  // namespace ov
