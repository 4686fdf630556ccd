// Checking an export file before import: values the store could not keep as given are refused
// with a message that names the key; a byte-order mark is accepted; files that are not regular
// files are refused without being waited on or read whole.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "profiles/profile_import.h"
#include "profiles/profile_store.h"
#include "tests/profiles/store_test_support.h"
#include "tests/support/bounded_child.h"

namespace ov {
namespace {

using namespace std::string_literals;

std::string ValueOf(const ParsedImport& parsed, std::string_view key) {
  for (const auto& [k, v] : parsed.values) {
    if (k == key) return v;
  }
  return "<missing>";
}

struct RefusalRow {
  const char* name;
  std::string text;
  int result;
  const char* key;  // the key the message must name
};

TEST(ProfileImportCheck, RefusesWhatTheStoreCannotKeepAndNamesTheKey) {
  const RefusalRow rows[] = {
      {"pre-shared key with a NUL byte", "[P]\r\nWPAPSK=secret\0tail\r\n"s, kImportValueInvalid, "WPAPSK"},
      {"password with a NUL byte", "[P]\r\nPassword=\0\r\n"s, kImportValueInvalid, "Password"},
      {"hexadecimal SSID of 40 bytes", "[P]\r\nSSID_inHex=1\r\nSSID=" + std::string(80, 'a') + "\r\n",
       kImportValueInvalid, "SSID"},
      {"hexadecimal SSID that is not hexadecimal", "[P]\r\nSSID_inHex=1\r\nSSID=zz\r\n",
       kImportValueInvalid, "SSID"},
      {"hexadecimal SSID of odd length", "[P]\r\nSSID_inHex=1\r\nSSID=616\r\n", kImportValueInvalid,
       "SSID"},
      {"hexadecimal SSID with a NUL byte", "[P]\r\nSSID_inHex=1\r\nSSID=610062\r\n",
       kImportValueInvalid, "SSID"},
      {"diagnostic SSID that is not hexadecimal", "[P]\r\nDiagnosticSSID=xyz1\r\n",
       kImportValueInvalid, "DiagnosticSSID"},
      {"authentication mode 99", "[P]\r\nAuthMode=99\r\n", kImportValueInvalid, "AuthMode"},
      {"authentication mode 12", "[P]\r\nAuthMode=12\r\n", kImportValueInvalid, "AuthMode"},
      {"negative authentication mode", "[P]\r\nAuthMode=-1\r\n", kImportValueInvalid, "AuthMode"},
      {"authentication mode with a tail", "[P]\r\nAuthMode=6x\r\n", kImportValueInvalid, "AuthMode"},
      {"pre-shared key of 65", "[P]\r\nWPAPSK=" + std::string(65, 'k') + "\r\n", kImportValueInvalid,
       "WPAPSK"},
      {"certificate length of 153", "[P]\r\nServerCertLen=153\r\n", kImportValueInvalid,
       "ServerCertLen"},
      {"blob announced but absent", "[P]\r\nEapConfigBlobLen=2\r\n", kImportValueInvalid,
       "EapConfigBlobLen"},
  };
  for (const RefusalRow& row : rows) {
    SCOPED_TRACE(row.name);
    ParsedImport parsed = ParseProfileImport(row.text, nullptr);
    EXPECT_EQ(parsed.result, row.result);
    EXPECT_NE(parsed.problem.find("\""s + row.key + "\""), std::string::npos) << parsed.problem;
  }
}

struct AcceptRow {
  const char* name;
  std::string text;
  const char* key;
  std::string value;  // as readers see it
};

TEST(ProfileImportCheck, AcceptsWhatItCanKeepExactly) {
  const AcceptRow rows[] = {
      {"byte-order mark before the section", "\xEF\xBB\xBF[Home]\r\nAuthMode=7\r\n", "AuthMode", "7"},
      {"hexadecimal SSID of 32 bytes", "[P]\r\nSSID_inHex=1\r\nSSID=" + std::string(64, 'A') + "\r\n",
       "SSID", std::string(32, '\xAA')},
      {"upper- and lower-case digits", "[P]\r\nSSID_inHex=1\r\nSSID=4a6b\r\n", "SSID", "Jk"},
      {"empty hexadecimal SSID", "[P]\r\nSSID_inHex=1\r\nSSID=\r\n", "SSID", ""},
      {"plain SSID with SSID_inHex=0", "[P]\r\nSSID_inHex=0\r\nSSID=zz\r\n", "SSID", "zz"},
      {"WAPI certificate mode", "[P]\r\nAuthMode=512\r\n", "AuthMode", "512"},
      {"CCX mode", "[P]\r\nAuthMode=11\r\n", "AuthMode", "11"},
      {"open mode", "[P]\r\nAuthMode=0\r\n", "AuthMode", "0"},
      {"empty mode", "[P]\r\nAuthMode=\r\nSSID=x\r\n", "AuthMode", ""},
  };
  for (const AcceptRow& row : rows) {
    SCOPED_TRACE(row.name);
    ParsedImport parsed = ParseProfileImport(row.text, nullptr);
    ASSERT_EQ(parsed.result, kImportOk) << parsed.problem;
    EXPECT_EQ(ValueOf(parsed, row.key), row.value);
  }
  EXPECT_EQ(ParseProfileImport("\xEF\xBB\xBF[Home]\r\nAuthMode=7\r\n", nullptr).name, "Home");
}

TEST(ProfileImportCheck, RefusedValueLeavesTheStoreUntouched) {
  test::TempDir store, files;
  ProfileStore target(test::LocationIn(store));
  std::string file = files.file("p.prof");
  test::WriteFileBytes(file, "[P]\r\nSSID=61\r\nWPAPSK=ab\0cd\r\n"s);
  std::string problem;
  EXPECT_EQ(target.ImportProfileSection(file, &problem), kImportValueInvalid);
  EXPECT_NE(problem.find("\"WPAPSK\""), std::string::npos) << problem;
  EXPECT_TRUE(test::Snapshot(store.path()).empty());
}

TEST(ProfileImportCheck, FilesThatAreNotRegularAreRefusedAtOnce) {
  test::TempDir store, files;
  std::string fifo = files.file("pipe.prof");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string sparse = files.file("huge.prof");
  test::WriteFileBytes(sparse, "[P]\r\nSSID=61\r\n");
  ASSERT_EQ(::truncate(sparse.c_str(), 200ll << 20), 0);
  struct Row {
    const char* name;
    std::string path;
    const char* message;
  } rows[] = {
      {"folder", files.path().string(), "not a regular file"},
      {"FIFO", fifo, "not a regular file"},
      {"endless device", "/dev/zero", "not a regular file"},
      {"200 MB file", sparse, "too large"},
      {"missing file", files.file("none.prof"), "does not exist"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    int code = test::ExitCodeWithin(5, [&] {
      ProfileStore target(test::LocationIn(store));
      std::string problem;
      if (target.ImportProfileSection(row.path, &problem) != kImportUnreadable) return 1;
      return problem.find(row.message) != std::string::npos ? 0 : 2;
    });
    EXPECT_EQ(code, 0);
  }
  EXPECT_TRUE(test::Snapshot(store.path()).empty());
}

}  // namespace
}  // namespace ov
