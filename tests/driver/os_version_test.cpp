#include <gtest/gtest.h>

#include <optional>

#include "driver/os_version.h"

namespace ov {
namespace {

TEST(OsVersionCodeTest, Table) {
  using R = OsVersionRecord;
  struct Row {
    const char* name;
    std::optional<R> record;
    OsVersionCode code;
  };
  const Row rows[] = {
      {"no record", std::nullopt, 0},
      {"9x 4.0", R{R::Win9x, 4, 0, 950, R::Unknown}, 2},
      {"9x 4.10", R{R::Win9x, 4, 10, 1998, R::Unknown}, 3},
      {"9x 4.10 build 2222", R{R::Win9x, 4, 10, 2222, R::Unknown}, 4},
      {"9x 4.10 build 2222 with version in high word", R{R::Win9x, 4, 10, 0x040A08AE, R::Unknown}, 4},
      {"9x 4.90", R{R::Win9x, 4, 90, 3000, R::Unknown}, 5},
      {"9x outside the table", R{R::Win9x, 4, 20, 0, R::Unknown}, 0},
      {"NT 3.51", R{R::WinNt, 3, 51, 1057, R::Workstation}, 6},
      {"NT 4.0", R{R::WinNt, 4, 0, 1381, R::Server}, 6},
      {"NT 5.0", R{R::WinNt, 5, 0, 2195, R::Workstation}, 7},
      {"NT 5.1", R{R::WinNt, 5, 1, 2600, R::Workstation}, 8},
      {"NT 5.2 server", R{R::WinNt, 5, 2, 3790, R::Server}, 9},
      {"NT 5.2 domain controller", R{R::WinNt, 5, 2, 3790, R::DomainController}, 9},
      {"NT 5.2 plain record", R{R::WinNt, 5, 2, 3790, R::Unknown}, 9},
      {"NT 5.2 workstation", R{R::WinNt, 5, 2, 3790, R::Workstation}, 10},
      {"NT 6.0", R{R::WinNt, 6, 0, 6000, R::Workstation}, 11},
      {"NT 6.1 server", R{R::WinNt, 6, 1, 7600, R::Server}, 11},
      {"NT 5.3 workstation", R{R::WinNt, 5, 3, 0, R::Workstation}, 12},
      {"NT 10.0 workstation", R{R::WinNt, 10, 0, 19045, R::Workstation}, 12},
      {"NT 10.0 server", R{R::WinNt, 10, 0, 20348, R::Server}, 13},
      {"Win32s", R{R::Win32s, 3, 10, 0, R::Unknown}, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(OsVersionCodeFor(row.record), row.code);
  }
  EXPECT_EQ(CurrentOsVersionCode(), 11);
}

TEST(OsVersionCodeTest, AdminAndWow64Rules) {
  struct Row {
    OsVersionCode code;
    bool inGroup;
    bool admin;
  };
  const Row adminRows[] = {
      {0, false, true}, {5, false, true}, {6, false, true},  {7, false, false},
      {7, true, true},  {11, false, false}, {11, true, true}, {13, false, false},
  };
  for (const Row& row : adminRows) {
    SCOPED_TRACE(testing::Message() << row.code << " " << row.inGroup);
    EXPECT_EQ(IsAdmin(row.code, row.inGroup), row.admin);
  }
  // Codes at or below 6 never ask the system.
  EXPECT_TRUE(IsAdmin(6));

  EXPECT_FALSE(IsWow64(9, true));
  EXPECT_TRUE(IsWow64(10, true));
  EXPECT_TRUE(IsWow64(11, true));
  EXPECT_FALSE(IsWow64(11, false));
  EXPECT_FALSE(IsWow64(11, std::nullopt));
}

}  // namespace
}  // namespace ov
