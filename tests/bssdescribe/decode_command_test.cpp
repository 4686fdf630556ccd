// `ovuictl decode`: its output for the real captures against committed golden files, its
// arguments and its failures.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/decode_command.h"
#include "tests/bssdescribe/element_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_data.h"

namespace ov::cli {
namespace {

namespace fs = std::filesystem;
using namespace ov::test;

const std::string kTestData = TestData().string();

struct CommandRun {
  int status;
  std::string out;
  std::string err;
};

CommandRun Decode(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunDecodeCommand(args, out, err);
  return {status, out.str(), err.str()};
}

// The captures' folder differs between checkouts; the golden files name it @TESTDATA@.
std::string WithoutDataPath(std::string text) {
  for (size_t at; (at = text.find(kTestData)) != std::string::npos;) text.replace(at, kTestData.size(), "@TESTDATA@");
  return text;
}

// Compares with a committed file; OVUI_UPDATE_GOLDEN=1 rewrites it on purpose.
void ExpectGolden(const std::string& name, const std::string& actual) {
  const fs::path file = fs::path(OVUI_SOURCE_DIR) / "tests/bssdescribe/golden" / name;
  if (std::getenv("OVUI_UPDATE_GOLDEN") != nullptr) WriteFileBytes(file, actual);
  EXPECT_EQ(actual, ReadFileBytes(file)) << "output differs from " << file << " (OVUI_UPDATE_GOLDEN=1 rewrites it)";
}

TEST(DecodeCommand, CapturesMatchTheGoldenOutputs) {
  const std::vector<std::pair<const char*, const char*>> captures = {
      {"test1.pcap", "decode_test1"},
      {"wep.open.system.authentication.cap", "decode_wep"},
      {"wpa-psk-linksys.cap", "decode_wpa_psk_linksys"},
      {"wpa.cap", "decode_wpa"},
  };
  for (const auto& [file, golden] : captures) {
    SCOPED_TRACE(file);
    const std::string path = kTestData + "/captures/" + file;
    const CommandRun text = Decode({path});
    EXPECT_EQ(text.status, kExitOk) << text.err;
    EXPECT_EQ(text.err, "");
    ExpectGolden(std::string(golden) + ".txt", text.out);
    const CommandRun json = Decode({"--json", path});
    EXPECT_EQ(json.status, kExitOk) << json.err;
    ExpectGolden(std::string(golden) + ".json", WithoutDataPath(json.out));
  }
}

Bytes Le32(uint32_t v) { return Cat({Le16(static_cast<uint16_t>(v)), Le16(static_cast<uint16_t>(v >> 16))}); }

std::string AsString(const Bytes& b) { return std::string(b.begin(), b.end()); }

TEST(DecodeCommand, ArgumentsAndFailures) {
  TempDir dir;
  WriteFileBytes(dir.path() / "text.pcap", "not a capture at all, just words");
  const std::string fifo = dir.file("pipe.pcap");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // 200 MB that would cost that much memory if read whole; sparse, so it costs no disk.
  const std::string huge = dir.file("huge.pcap");
  WriteFileBytes(huge, "random bytes, not a capture");
  ASSERT_EQ(::truncate(huge.c_str(), 200ll << 20), 0);
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* errContains;
  };
  const std::vector<Case> cases = {
      {"NoFile", {}, kExitUsage, "no capture file given"},
      {"TwoFiles", {"a.pcap", "b.pcap"}, kExitUsage, "more than one capture file"},
      {"UnknownOption", {"--yaml", "a.pcap"}, kExitUsage, "unknown option \"--yaml\""},
      {"MissingFile", {dir.file("missing.pcap")}, kExitFailed, "missing.pcap does not exist"},
      {"NotAPcapFile", {dir.file("text.pcap")}, kExitFailed, "not a pcap file"},
      {"Folder", {dir.path().string()}, kExitFailed, "is not a regular file"},
      {"EndlessDevice", {"/dev/zero"}, kExitFailed, "/dev/zero is not a regular file"},
      {"Fifo", {fifo}, kExitFailed, "pipe.pcap is not a regular file"},
      {"LargeFileThatIsNoCapture", {huge}, kExitFailed, "not a pcap file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CommandRun run = Decode(c.args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.err.find(c.errContains), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
  const CommandRun help = Decode({"--help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_EQ(help.out.rfind("usage: ovuictl decode FILE.pcap [--json]\n", 0), 0u) << help.out;
}

// A record that claims more bytes than any capture length is stepped over, not allocated; one
// that claims more than the file holds ends the capture as truncated.
TEST(DecodeCommand, HostileRecordLengthsCostNoMemory) {
  const Bytes header = Cat({Le32(0xA1B2C3D4), Le16(2), Le16(4), Le32(0), Le32(0), Le32(65535), Le32(105)});
  const Bytes beacon = Cat({{0x80, 0, 0, 0}, Bytes(6, 0xFF), {0x02, 0, 0, 0, 0, 1}, {0x02, 0, 0, 0, 0, 1},
                            {0, 0}, Bytes(8, 0), Le16(100), Le16(0x0001), SsidElement("after")});
  const auto record = [](const Bytes& body, uint32_t claimed) {
    return Cat({Le32(0), Le32(0), Le32(claimed), Le32(claimed), body});
  };
  const Bytes oversized(300000, 0x80);
  struct Case {
    const char* name;
    Bytes file;
    const char* out;
    bool truncated;
  };
  const std::vector<Case> cases = {
      {"RecordOverTheLargestCaptureLength",
       Cat({header, record(oversized, static_cast<uint32_t>(oversized.size())),
            record(beacon, static_cast<uint32_t>(beacon.size()))}),
       "1 BSS from 1 beacon and probe-response frames of 2 records", false},
      {"RecordClaimingFourGigabytes", Cat({header, record(beacon, 0xFFFFFFFF)}),
       "0 BSSs from 0 beacon and probe-response frames of 0 records", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    WriteFileBytes(dir.path() / "c.pcap", AsString(c.file));
    const CommandRun run = Decode({dir.file("c.pcap")});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
    EXPECT_EQ(run.err.find("ends inside a record") != std::string::npos, c.truncated) << run.err;
  }
}

// More BSSs than the 64 KB scan list holds: the list keeps what fits and says so.
TEST(DecodeCommand, ScanListFullLeavesTheRestOut) {
  Bytes file = Cat({Le32(0xA1B2C3D4), Le16(2), Le16(4), Le32(0), Le32(0), Le32(65535), Le32(105)});
  const int bssCount = 300;
  for (int i = 0; i < bssCount; ++i) {
    const Bytes elements = Cat({SsidElement("many"), Element(ie::kDsParameterSet, {1}),
                                Element(ie::kVendorSpecific, Bytes(250, 0x11))});
    const Bytes frame = Cat({{0x80, 0, 0, 0}, Bytes(6, 0xFF), {0x02, 0, 0, 0, static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i)},
                             {0x02, 0, 0, 0, static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i)}, {0, 0},
                             Bytes(8, 0), Le16(100), Le16(0x0001), elements});
    file = Cat({file, Le32(0), Le32(0), Le32(static_cast<uint32_t>(frame.size())),
                Le32(static_cast<uint32_t>(frame.size())), frame});
  }
  TempDir dir;
  WriteFileBytes(dir.path() / "many.pcap", AsString(file));
  const CommandRun run = Decode({dir.file("many.pcap")});
  EXPECT_EQ(run.status, kExitOk);
  // Each entry is 116 + 262 octets: 173 fit after the count.
  const size_t fit = (65536 - 4) / (116 + 262);
  EXPECT_NE(run.err.find("the scan list is full; " + std::to_string(bssCount - fit) + " BSSs left out"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.out.find(std::to_string(fit) + " BSSs from 300 beacon"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace ov::cli
