#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cli/cli.h"
#include "cli/reg_command.h"
#include "platform/registry/hive_files.h"
#include "platform/system/machine_root.h"
#include "platform/system/error_codes.h"
#include "tests/registry/registry_fixture.h"

namespace ov::test {
namespace {

namespace fs = std::filesystem;
using cli::RunCli;

std::string B(const char* literal, size_t size) { return std::string(literal, size); }

struct Outcome {
  int code = -1;
  std::string out;
  std::string err;
};

Outcome RunTool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  Outcome o;
  o.code = RunCli(args, out, err);
  o.out = out.str();
  o.err = err.str();
  return o;
}

// Compares with a committed file; OVUI_UPDATE_GOLDEN=1 rewrites it on purpose.
void ExpectGolden(const std::string& name, const std::string& actual) {
  const fs::path file = fs::path(OVUI_SOURCE_DIR) / "tests/cli/golden" / name;
  if (std::getenv("OVUI_UPDATE_GOLDEN") != nullptr) WriteFileBytes(file, actual);
  EXPECT_EQ(actual, ReadFileBytes(file))
      << "output differs from " << file << " (OVUI_UPDATE_GOLDEN=1 rewrites it)";
}

constexpr const char* kAdapter = "SOFTWARE\\Orvane\\Adapter";

void PopulateAdapter() {
  const HKEY lm = HKEY_LOCAL_MACHINE;
  ASSERT_EQ(RegWriteString(lm, kAdapter, "SSID", "home \"net\" \\ x"), 0u);
  ASSERT_EQ(RegWriteString(lm, kAdapter, "", "Orvane adapter"), 0u);
  ASSERT_EQ(RegWriteDword(lm, kAdapter, "BACapability", 0x00012345), 0u);
  ASSERT_EQ(RegWriteValue(lm, kAdapter, "WEPKey1", REG_BINARY,
                          B("\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F", 16)),
            0u);
  ASSERT_EQ(RegWriteMultiString(lm, kAdapter, "HardwareID",
                                {"PCI\\VEN_F0F0&DEV_0001", "PCI\\VEN_F0F0"}),
            0u);
  ASSERT_EQ(RegWriteString(lm, kAdapter, "InstallDir", "%ProgramFiles%\\OvUI", REG_EXPAND_SZ), 0u);
  ASSERT_EQ(RegWriteValue(lm, kAdapter, "Uptime", REG_QWORD, B("\x10\0\0\0\1\0\0\0", 8)), 0u);
  ASSERT_EQ(RegWriteValue(lm, kAdapter, "Calibration", REG_BINARY, std::string(40, '\x5A')), 0u);
  ASSERT_EQ(RegWriteValue(lm, kAdapter, "RawText", REG_SZ, "no NUL"), 0u);
  ASSERT_EQ(RegWriteString(lm, std::string(kAdapter) + "\\Default", "Channel", "6"), 0u);
  ASSERT_EQ(RegWriteString(lm, std::string(kAdapter) + "\\ApDefault", "SSID", "SoftAP-1A"), 0u);
  ASSERT_EQ(RegWriteMultiString(lm, std::string(kAdapter) + "\\ApDefault", "AccessControlList", {}),
            0u);
}

// Every key and value below `path`, read through the registry calls alone.
std::string Snapshot(HKEY root, const std::string& path) {
  RegKey key;
  if (key.open(root, path) != 0) return "<missing " + path + ">";
  std::ostringstream out;
  out << "[" << path << "]\n";
  std::vector<RegValue> values;
  RegListValues(key.get(), &values);
  for (const RegValue& v : values) {
    out << v.name << " " << v.type << " " << cli::HexBytes(v.data, false, "") << "\n";
  }
  std::vector<std::string> subKeys;
  RegListSubKeys(key.get(), &subKeys);
  for (const std::string& sub : subKeys) out << Snapshot(root, path + "\\" + sub);
  return out.str();
}

class RegCommandTest : public RegistryTest {
 protected:
  std::string file(const std::string& name) { return (dir.path() / name).string(); }
};

TEST_F(RegCommandTest, ExportMatchesTheGoldenFile) {
  PopulateAdapter();
  const Outcome o = RunTool({"reg", "export", "hklm\\software\\orvane", file("out.reg")});
  ASSERT_EQ(o.code, 0) << o.err;
  ExpectGolden("export_adapter.reg", ReadFileBytes(file("out.reg")));
  // "-" writes the same text to standard output.
  const Outcome toStdout = RunTool({"reg", "export", "HKLM\\SOFTWARE\\Orvane", "-"});
  EXPECT_EQ(toStdout.out, ReadFileBytes(file("out.reg")));
}

TEST_F(RegCommandTest, QueryMatchesTheGoldenOutputs) {
  PopulateAdapter();
  Outcome text = RunTool({"reg", "query", "HKLM\\software\\orvane\\adapter"});
  ASSERT_EQ(text.code, 0) << text.err;
  ExpectGolden("query_adapter.txt", text.out);
  Outcome json = RunTool({"reg", "query", "--json", "HKLM\\SOFTWARE\\Orvane\\Adapter"});
  ASSERT_EQ(json.code, 0) << json.err;
  ExpectGolden("query_adapter.json", json.out);

  Outcome one = RunTool({"reg", "query", "HKLM\\SOFTWARE\\Orvane\\Adapter", "bacapability", "--json"});
  ASSERT_EQ(one.code, 0) << one.err;
  EXPECT_EQ(one.out,
            "{\n  \"key\": \"HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\Orvane\\\\Adapter\",\n"
            "  \"values\": [\n"
            "    {\"name\": \"BACapability\", \"type\": \"REG_DWORD\", \"data\": 74565}\n"
            "  ],\n  \"subkeys\": [\"ApDefault\", \"Default\"]\n}\n");
  Outcome unnamed = RunTool({"reg", "query", "HKLM\\SOFTWARE\\Orvane\\Adapter", ""});
  EXPECT_EQ(unnamed.out,
            "HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Adapter\n"
            "    (Default)    REG_SZ    Orvane adapter\n");
  Outcome empty = RunTool({"reg", "query", "HKLM\\SOFTWARE\\Orvane\\Adapter\\Default", "--json"});
  EXPECT_EQ(empty.out,
            "{\n  \"key\": \"HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\Orvane\\\\Adapter\\\\Default\",\n"
            "  \"values\": [\n    {\"name\": \"Channel\", \"type\": \"REG_SZ\", \"data\": \"6\"}\n"
            "  ],\n  \"subkeys\": []\n}\n");
}

TEST_F(RegCommandTest, ExportThenImportRestoresEveryKeyAndValue) {
  PopulateAdapter();
  const HKEY lm = HKEY_LOCAL_MACHINE;
  // Data that a quoted string or dword: cannot carry must come back too.
  ASSERT_EQ(RegWriteValue(lm, kAdapter, "Two\nLines", REG_SZ, B("a\nb\0", 4)), 0u);
  ASSERT_EQ(RegWriteValue(lm, kAdapter, "NotUtf8", REG_SZ, B("\xFF\xFE\0", 3)), 0u);
  ASSERT_EQ(RegWriteValue(lm, kAdapter, "ShortDword", REG_DWORD, B("\1\2\3", 3)), 0u);
  ASSERT_EQ(RegWriteValue(lm, kAdapter, "Inner\"Quote\\", REG_NONE, ""), 0u);
  ASSERT_EQ(RegWriteString(HKEY_CLASSES_ROOT, ".ovp", "", "OvUI.Profile"), 0u);
  ASSERT_NE(Snapshot(lm, "SOFTWARE").find("Two\nLines"), std::string::npos);

  Outcome exported = RunTool({"reg", "export", "HKLM\\SOFTWARE", file("all.reg")});
  ASSERT_NE(exported.code, 0) << "a value name with a line break cannot be exported";
  EXPECT_NE(exported.err.find("line break"), std::string::npos) << exported.err;
  EXPECT_FALSE(fs::exists(file("all.reg"))) << "a failed export leaves no file";
  RegKey adapter;
  ASSERT_EQ(adapter.open(lm, kAdapter, KEY_ALL_ACCESS), 0u);
  ASSERT_EQ(RegDeleteValue(adapter.get(), "Two\nLines"), 0u);
  const std::string snapshot = Snapshot(lm, "SOFTWARE");

  exported = RunTool({"reg", "export", "HKLM\\SOFTWARE", file("all.reg")});
  ASSERT_EQ(exported.code, 0) << exported.err;
  ASSERT_EQ(SHDeleteKey(lm, "SOFTWARE"), 0u);
  ASSERT_EQ(Snapshot(lm, "SOFTWARE"), "<missing SOFTWARE>");
  Outcome imported = RunTool({"reg", "import", file("all.reg")});
  ASSERT_EQ(imported.code, 0) << imported.err;
  EXPECT_EQ(Snapshot(lm, "SOFTWARE"), snapshot);

  ASSERT_EQ(RunTool({"reg", "export", "HKLM\\SOFTWARE", file("again.reg")}).code, 0);
  EXPECT_EQ(ReadFileBytes(file("again.reg")), ReadFileBytes(file("all.reg")));
  // HKEY_CLASSES_ROOT exports under its own name.
  Outcome classes = RunTool({"reg", "export", "HKCR", "-"});
  EXPECT_NE(classes.out.find("[HKEY_CLASSES_ROOT\\.ovp]\n@=\"OvUI.Profile\""), std::string::npos)
      << classes.out;
}

TEST_F(RegCommandTest, AMalformedImportChangesNothing) {
  PopulateAdapter();
  const std::string before = Snapshot(HKEY_LOCAL_MACHINE, "SOFTWARE");
  WriteFileBytes(file("bad.reg"),
                 "Windows Registry Editor Version 5.00\n\n"
                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Adapter]\n"
                 "\"SSID\"=\"changed\"\n\n"
                 "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Adapter\\Default]\n\n"
                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\New]\n"
                 "\"Count\"=dword:zz\n");
  const Outcome o = RunTool({"reg", "import", file("bad.reg")});
  EXPECT_EQ(o.code, cli::kExitUsage);
  EXPECT_NE(o.err.find("bad.reg:9: dword"), std::string::npos) << o.err;
  EXPECT_NE(o.err.find("nothing was imported"), std::string::npos) << o.err;
  EXPECT_EQ(Snapshot(HKEY_LOCAL_MACHINE, "SOFTWARE"), before);
}

TEST_F(RegCommandTest, ImportDeletesKeysAndValues) {
  PopulateAdapter();
  WriteFileBytes(file("del.reg"),
                 "Windows Registry Editor Version 5.00\r\n\r\n"
                 "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Adapter\\Default]\r\n\r\n"
                 "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\NeverThere]\r\n\r\n"
                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Adapter]\r\n"
                 "\"SSID\"=-\r\n\"Missing\"=-\r\n@=-\r\n\"Added\"=dword:00000002\r\n");
  const Outcome o = RunTool({"reg", "import", file("del.reg")});
  ASSERT_EQ(o.code, 0) << o.err;
  RegKey probe;
  EXPECT_EQ(probe.open(HKEY_LOCAL_MACHINE, std::string(kAdapter) + "\\Default"),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, kAdapter, "SSID"), std::nullopt);
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, kAdapter, ""), std::nullopt);
  EXPECT_EQ(RegReadDword(HKEY_LOCAL_MACHINE, kAdapter, "Added"), 2u);
  EXPECT_EQ(RegReadDword(HKEY_LOCAL_MACHINE, kAdapter, "BACapability"), 0x12345u);
}

TEST_F(RegCommandTest, AnImportThatFailsInOneHiveChangesNoHive) {
  // The user's hive is unreadable; the machine hive is fine.
  fs::create_directories(CurrentUserHiveFile().parent_path());
  WriteFileBytes(CurrentUserHiveFile(), std::string(4096, 'x'));
  WriteFileBytes(file("two.reg"),
                 "Windows Registry Editor Version 5.00\n\n"
                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\First]\n"
                 "\"a\"=\"1\"\n\n"
                 "[HKEY_CURRENT_USER\\Second]\n"
                 "\"b\"=\"2\"\n");
  const Outcome o = RunTool({"reg", "import", file("two.reg")});
  EXPECT_EQ(o.code, cli::kExitFailed);
  EXPECT_NE(o.err.find("two.reg:6: The configuration registry database is corrupt.; nothing was "
                       "imported"),
            std::string::npos)
      << o.err;
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\First", "a"), std::nullopt);
}

TEST_F(RegCommandTest, AnImportOfWhatIsNotARegistryFileSaysSoAtOnce) {
  PopulateAdapter();
  const std::string before = Snapshot(HKEY_LOCAL_MACHINE, "SOFTWARE");
  ASSERT_EQ(mkfifo(file("fifo").c_str(), 0600), 0);
  fs::create_directory(file("folder"));
  {
    // Sparse: one byte past the limit costs no disk.
    std::ofstream huge(file("huge.reg"), std::ios::binary);
    huge << "Windows Registry Editor Version 5.00\n";
  }
  fs::resize_file(file("huge.reg"), cli::kMaxRegFileBytes + 1);
  struct Row {
    std::string path;
    const char* said;
  };
  const Row rows[] = {
      {file("folder"), "is not a regular file"},
      {file("fifo"), "is not a regular file"},  // opening must not wait for a writer
      {"/dev/zero", "is not a regular file"},
      {file("huge.reg"), "is larger than 64 MiB"},
      {file("missing.reg"), "cannot read"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    const Outcome o = RunTool({"reg", "import", row.path});
    EXPECT_EQ(o.code, cli::kExitFailed);
    EXPECT_NE(o.err.find(row.said), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("nothing was imported"), std::string::npos) << o.err;
  }
  EXPECT_EQ(Snapshot(HKEY_LOCAL_MACHINE, "SOFTWARE"), before);
}

TEST_F(RegCommandTest, AMachineRootThatIsNotAnExistingAbsoluteFolderIsRefused) {
  PopulateAdapter();
  WriteFileBytes(file("plain"), "x");
  struct Row {
    std::string root;
    const char* said;
  };
  const Row rows[] = {
      {"relative/root", "is not an absolute path"},
      {file("mistyped"), "does not exist"},
      {file("plain"), "is not a folder"},
  };
  const std::string cwd = fs::current_path();
  fs::current_path(dir.path());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.root);
    ScopedEnv env("OVUI_ROOT", row.root);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"reg", "set", "HKLM\\SOFTWARE\\X", "v", "REG_SZ", "1"},
          std::vector<std::string>{"reg", "query", "HKLM\\SOFTWARE\\Orvane\\Adapter"}}) {
      const Outcome o = RunTool(args);
      EXPECT_EQ(o.code, cli::kExitFailed);
      EXPECT_NE(o.err.find(std::string("OVUI_ROOT \"") + row.root + "\" " + row.said),
                std::string::npos)
          << o.err;
    }
    // The registry itself refuses too, for every other caller.
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\X", 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &key, nullptr),
              ERROR_PATH_NOT_FOUND);
  }
  fs::current_path(cwd);
  EXPECT_FALSE(fs::exists(dir.path() / "relative")) << "no machine was made up";
  EXPECT_FALSE(fs::exists(file("mistyped")));
  // Unset (or empty) still means "/", the installed system.
  ScopedEnv unset("OVUI_ROOT", std::nullopt);
  EXPECT_TRUE(MachineRootUsable(nullptr));
}

// Runs the command line in a process that may not write the machine hive: uid 65534 when the
// test runs as root, else this process with the hive's file and folder made read-only.
Outcome RunWithoutMachineWriteAccess(const fs::path& root, const std::vector<std::string>& args) {
  const fs::path hive = MachineHiveFile();
  if (geteuid() != 0) {
    chmod(hive.c_str(), 0444);
    chmod(hive.parent_path().c_str(), 0555);
    registry_detail::CloseConnections();
    Outcome o = RunTool(args);
    chmod(hive.parent_path().c_str(), 0755);
    chmod(hive.c_str(), 0644);
    return o;
  }
  chmod(root.c_str(), 0755);
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    Outcome o;
    if (setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0) o = RunTool(args);
    const std::string report = std::to_string(o.code) + "\n" + o.err;
    const ssize_t n = write(fds[1], report.data(), report.size());
    _exit(n == static_cast<ssize_t>(report.size()) ? 0 : 1);
  }
  close(fds[1]);
  std::string report;
  char buffer[512];
  ssize_t n;
  while ((n = read(fds[0], buffer, sizeof buffer)) > 0) report.append(buffer, n);
  close(fds[0]);
  waitpid(pid, nullptr, 0);
  Outcome o;
  const size_t cut = report.find('\n');
  if (cut == std::string::npos) return o;
  o.code = std::stoi(report.substr(0, cut));
  o.err = report.substr(cut + 1);
  return o;
}

TEST_F(RegCommandTest, AnImportIntoAHiveThatCannotBeWrittenChangesNothing) {
  PopulateAdapter();
  const std::string before = Snapshot(HKEY_LOCAL_MACHINE, "SOFTWARE");
  WriteFileBytes(file("in.reg"),
                 "Windows Registry Editor Version 5.00\n\n"
                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Adapter]\n\"SSID\"=\"changed\"\n");
  chmod(file("in.reg").c_str(), 0644);
  const Outcome o = RunWithoutMachineWriteAccess(dir.path(), {"reg", "import", file("in.reg")});
  EXPECT_EQ(o.code, cli::kExitFailed);
  EXPECT_NE(o.err.find("cannot write HKEY_LOCAL_MACHINE: Access is denied.; nothing was imported"),
            std::string::npos)
      << o.err;
  const Outcome set = RunWithoutMachineWriteAccess(
      dir.path(), {"reg", "set", "HKLM\\SOFTWARE\\Orvane\\Adapter", "SSID", "REG_SZ", "x"});
  EXPECT_EQ(set.code, cli::kExitFailed);
  EXPECT_EQ(set.err, "ERROR: Access is denied.\n");
  EXPECT_EQ(Snapshot(HKEY_LOCAL_MACHINE, "SOFTWARE"), before);
}

TEST_F(RegCommandTest, SetAndDeleteChangeTheRegistry) {
  struct Case {
    std::vector<std::string> args;
    uint32_t type;
    std::string data;
  };
  const Case cases[] = {
      {{"Text", "REG_SZ", "hello"}, REG_SZ, B("hello\0", 6)},
      {{"Path", "reg_expand_sz", "%HOME%"}, REG_EXPAND_SZ, B("%HOME%\0", 7)},
      {{"Number", "REG_DWORD", "0x10"}, REG_DWORD, B("\x10\0\0\0", 4)},
      {{"Big", "REG_QWORD", "1"}, REG_QWORD, B("\1\0\0\0\0\0\0\0", 8)},
      {{"Blob", "REG_BINARY", "de,ad"}, REG_BINARY, "\xDE\xAD"},
      {{"List", "REG_MULTI_SZ", "a\\0b", "c"}, REG_MULTI_SZ, B("a\0b\0c\0\0", 7)},
      {{"", "REG_SZ", "unnamed"}, REG_SZ, B("unnamed\0", 8)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    std::vector<std::string> args = {"reg", "set", "HKCU\\Software\\Orvane\\New"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Outcome o = RunTool(args);
    ASSERT_EQ(o.code, 0) << o.err;
    RegValue value;
    ASSERT_EQ(RegReadValue(HKEY_CURRENT_USER, "Software\\Orvane\\New", c.args[0], &value), 0u);
    EXPECT_EQ(value.type, c.type);
    EXPECT_EQ(value.data, c.data);
  }
  EXPECT_EQ(RunTool({"reg", "delete", "HKCU\\Software\\Orvane\\New", "Text"}).code, 0);
  EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "Software\\Orvane\\New", "Text"), std::nullopt);
  EXPECT_EQ(RunTool({"reg", "delete", "HKCU\\Software\\Orvane\\New", ""}).code, 0);
  EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "Software\\Orvane\\New", ""), std::nullopt);
  EXPECT_EQ(RunTool({"reg", "delete", "HKCU\\Software\\Orvane"}).code, 0);
  RegKey probe;
  EXPECT_EQ(probe.open(HKEY_CURRENT_USER, "Software\\Orvane"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(probe.open(HKEY_CURRENT_USER, "Software"), ERROR_SUCCESS);
}

TEST_F(RegCommandTest, BadUsageAndFailuresHaveTheirExitStatusAndMessage) {
  PopulateAdapter();
  struct Case {
    std::vector<std::string> args;
    int code;
    const char* message;  // in standard error, or standard output for a zero status
  };
  const std::string adapter = std::string("HKLM\\") + kAdapter;
  const Case cases[] = {
      {{}, cli::kExitUsage, "usage: ovuictl <command>"},
      {{"--help"}, cli::kExitOk, "reg "},
      {{"bogus"}, cli::kExitUsage, "unknown command \"bogus\""},
      {{"reg"}, cli::kExitUsage, "reg needs a subcommand"},
      {{"reg", "--help"}, cli::kExitOk, "ovuictl reg import <file>"},
      {{"reg", "frob"}, cli::kExitUsage, "unknown reg subcommand"},
      {{"reg", "query"}, cli::kExitUsage, "reg query takes"},
      {{"reg", "query", "HKXX\\A"}, cli::kExitUsage, "unknown root key \"HKXX\""},
      {{"reg", "query", "HKLM\\SOFTWARE\\Nope"}, cli::kExitFailed, "unable to find"},
      {{"reg", "query", adapter, "Nope"}, cli::kExitFailed, "unable to find"},
      {{"reg", "set", "HKLM\\A", "v", "REG_WORD", "1"}, cli::kExitUsage, "unknown value type"},
      {{"reg", "set", "HKLM\\A", "v", "REG_NONE", "1"}, cli::kExitUsage, "unknown value type"},
      {{"reg", "set", "HKLM\\A", "v", "REG_DWORD", "x"}, cli::kExitUsage, "32-bit number"},
      {{"reg", "set", "HKLM\\A", "v", "REG_SZ"}, cli::kExitUsage, "reg set takes"},
      {{"reg", "delete", "HKLM"}, cli::kExitUsage, "top key cannot be deleted"},
      {{"reg", "delete", "HKLM\\SOFTWARE\\Nope"}, cli::kExitFailed, "unable to find"},
      {{"reg", "delete", adapter, "Nope"}, cli::kExitFailed, "unable to find"},
      {{"reg", "export", "HKLM\\SOFTWARE\\Nope", "-"}, cli::kExitFailed, "unable to find"},
      {{"reg", "export", adapter, "/nonexistent-folder/x.reg"}, cli::kExitFailed, "cannot write"},
      {{"reg", "import", "/nonexistent-folder/x.reg"}, cli::kExitFailed, "cannot read"},
  };
  for (const Case& c : cases) {
    std::string label;
    for (const std::string& a : c.args) label += a + " ";
    SCOPED_TRACE(label);
    const Outcome o = RunTool(c.args);
    EXPECT_EQ(o.code, c.code);
    const std::string& text = c.code == cli::kExitOk ? o.out : o.err;
    EXPECT_NE(text.find(c.message), std::string::npos) << text;
  }
  RegKey probe;
  EXPECT_EQ(probe.open(HKEY_LOCAL_MACHINE, "A"), ERROR_FILE_NOT_FOUND) << "bad sets write nothing";
}

TEST_F(RegCommandTest, TheProgramRunsTheSameCommands) {
  PopulateAdapter();
  const std::string program = std::string(OVUI_BIN_DIR) + "/ovuictl";
  auto run = [&](const std::string& arguments, std::string* out) {
    FILE* pipe = popen((program + " " + arguments + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[256];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out->append(buffer, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  std::string out;
  EXPECT_EQ(run("reg query 'HKLM\\SOFTWARE\\Orvane\\Adapter\\Default'", &out), 0);
  EXPECT_EQ(out, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Adapter\\Default\n"
                 "    Channel    REG_SZ    6\n\n");
  out.clear();
  EXPECT_EQ(run("reg query 'HKLM\\SOFTWARE\\Nope'", &out), cli::kExitFailed);
  EXPECT_EQ(run("reg set 'HKLM\\A' v REG_DWORD nan", &out), cli::kExitUsage);
  EXPECT_EQ(run("bogus", &out), cli::kExitUsage);
}

}  // namespace
}  // namespace ov::test
