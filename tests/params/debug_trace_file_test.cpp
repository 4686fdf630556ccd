// The trace file: written only when the program INI asks, and never through a planted link.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "driver/params/debug_trace.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

namespace fs = std::filesystem;

TEST(DebugTraceFileTest, AppendsOnlyWhenTheProgramIniAsksAndNeverThroughALink) {
  test::TempDir dir;
  test::ScopedMachineRoot root(dir.path());
  fs::create_directories(dir.path() / "tmp");
  const std::string ini = dir.file("OvUI.INI");
  const fs::path trace = dir.path() / kDebugTraceFile;

  AppendDebugTraceFile(ini, "no ini\n");
  test::WriteFileBytes(ini, "[Advance]\r\nOpenFile=0\r\n");
  AppendDebugTraceFile(ini, "switched off\n");
  EXPECT_FALSE(fs::exists(trace));

  test::WriteFileBytes(ini, "[Advance]\r\nOpenFile=1\r\n");
  AppendDebugTraceFile(ini, "ActionExec: PhyMode = 9\n");
  AppendDebugTraceFile(ini, "SetOid: PhyMode = 9\n");
  EXPECT_EQ(test::ReadFileBytes(trace), "ActionExec: PhyMode = 9\nSetOid: PhyMode = 9\n");

  // A link planted where the trace goes must not redirect the write.
  fs::remove(trace);
  const fs::path victim = dir.path() / "victim.txt";
  test::WriteFileBytes(victim, "keep");
  fs::create_symlink(victim, trace);
  AppendDebugTraceFile(ini, "redirected?\n");
  EXPECT_EQ(test::ReadFileBytes(victim), "keep");
}

}  // namespace
}  // namespace ov
