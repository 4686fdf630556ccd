// The status log's time stamps and empty lines.
#include "ccx/status_log.h"

#include <gtest/gtest.h>

namespace ov {
namespace {

constexpr int64_t kDay = 86400000;

TEST(StatusLogTest, TimeFormat) {
  struct Row { int64_t ms; const char* text; } rows[] = {
      {0, "00:00:00.000 "},
      {(13 * 3600 + 5 * 60 + 9) * 1000LL + 7, "13:05:09.007 "},
      {kDay - 1, "23:59:59.999 "},
      {kDay * 20000 + 61001, "00:01:01.001 "},  // since the epoch: the time of day
  };
  for (const Row& r : rows) EXPECT_EQ(FormatLogTime(r.ms), r.text) << r.ms;
}

TEST(StatusLogTest, EmptyLineReadsNullString) {
  StatusLog log;
  EXPECT_EQ(log.Add("", 0).description, "NULL STRING");
  EXPECT_EQ(log.Add("Test finished", 500).description, "Test finished");
}

TEST(StatusLogTest, LinesInARowAreStampedAtLeast100MsApart) {
  struct Row { int64_t now; const char* stamp; } rows[] = {
      {kDay * 3 + 1000, "00:00:01.000 "},
      {kDay * 3 + 1000, "00:00:01.100 "},  // same moment: pushed on
      {kDay * 3 + 1150, "00:00:01.200 "},  // 50 ms after the last stamp
      {kDay * 3 + 5000, "00:00:05.000 "},  // far enough: the clock's own time
      {kDay * 3 - 50, "23:59:59.950 "},    // the clock was set back: it is followed
  };
  StatusLog log;
  for (const Row& r : rows) EXPECT_EQ(log.Add("x", r.now).time, r.stamp) << r.now;
  EXPECT_EQ(log.Entries().size(), 5u);
  log.Clear();
  EXPECT_TRUE(log.Entries().empty());
}

}  // namespace
}  // namespace ov
