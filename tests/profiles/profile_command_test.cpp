// `ovuictl profile`: export and import between two sandbox roots, show, xml, activate, the
// discovered adapter, and the refusals.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <sstream>

#include "cli/cli.h"
#include "cli/profile_command.h"
#include "platform/ini/ini.h"
#include "profiles/data_directory.h"
#include "profiles/ov_encrypt_codec.h"
#include "profiles/profile_store.h"
#include "tests/profiles/store_test_support.h"
#include "tests/support/bounded_child.h"
#include "tests/support/simulator_process.h"
#include "tests/support/test_data.h"

namespace ov {
namespace {

struct Result {
  int code;
  std::string out, err;
};

Result RunProfile(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  int code = cli::RunProfileCommand(args, out, err);
  return {code, out.str(), err.str()};
}

constexpr const char* kIdA = "{11111111-2222-3333-4444-555555555555}";
constexpr const char* kIdB = "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";

std::vector<std::string> With(std::vector<std::string> head, const std::vector<std::string>& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

TEST(ProfileCommand, ExportAndImportBetweenTwoSandboxRoots) {
  test::TempDir rootA, rootB, files;
  std::string exportFile = files.file("office.prof");
  std::vector<std::string> adapterA = {"--adapter-id", kIdA, "--family", "WXP3"};
  std::vector<std::string> adapterB = {"--adapter-id", kIdB, "--family", "6"};
  {
    test::ScopedMachineRoot root(rootA.path());
    // The profile as the editor would have stored it, in the default data folder of root A.
    OvEncryptSecretCodec codec;
    ProfileStore store({ChooseDataDirectory().path, 4, kIdA}, &codec, true);
    ASSERT_TRUE(store.WriteStoreValues(
        StoreFileKind::Profiles, "Office",
        {{"SSID", "office net"}, {"NetworkType", "1"}, {"AuthMode", "6"}, {"CipherMode", "6"},
         {"Use8021X", "1"}, {"AuthenProtocol", "0"}, {"TunnelProtocol", "26"},
         {"ID", "alice@example.org"}, {"TunnelID", "alice"}, {"TunnelPassword", "s3cret pw"},
         {"PasswordMode", "1"}}));
    ASSERT_TRUE(std::filesystem::exists(rootA.path() / "var/lib/Orvane" /
                                        (std::string("WXP3_") + kIdA + "_prof")));
    Result exported = RunProfile(With(adapterA, {"export", "Office", exportFile}));
    ASSERT_EQ(exported.code, cli::kExitOk) << exported.err;
    EXPECT_EQ(IniReadString(exportFile, "Office", "TunnelPassword", "").rfind("$ov1$", 0), 0u);
  }
  test::ScopedMachineRoot root(rootB.path());
  Result imported = RunProfile(With(adapterB, {"import", exportFile}));
  ASSERT_EQ(imported.code, cli::kExitOk) << imported.err;
  EXPECT_EQ(RunProfile(With(adapterB, {"list"})).out, "Office\n");

  Result hidden = RunProfile(With(adapterB, {"show", "Office"}));
  ASSERT_EQ(hidden.code, cli::kExitOk);
  EXPECT_NE(hidden.out.find("\nSSID=office net\n"), std::string::npos) << hidden.out;
  EXPECT_NE(hidden.out.find("\nTunnelPassword=********\n"), std::string::npos) << hidden.out;
  EXPECT_EQ(hidden.out.find("s3cret"), std::string::npos);
  EXPECT_NE(hidden.out.find("\nPassword=\n"), std::string::npos);  // empty secrets stay empty
  Result shown = RunProfile(With(adapterB, {"show", "--show-secrets", "Office"}));
  EXPECT_NE(shown.out.find("\nTunnelPassword=s3cret pw\n"), std::string::npos) << shown.out;

  Result xml = RunProfile(With(adapterB, {"xml", "Office"}));
  ASSERT_EQ(xml.code, cli::kExitOk) << xml.err;
  EXPECT_EQ(xml.out.rfind("<?xml version=\"1.0\"?><WLANProfile ", 0), 0u);
  EXPECT_NE(xml.out.find("<MsChapV2:Password>s3cret&#32;pw</MsChapV2:Password>"), std::string::npos);

  Result again = RunProfile(With(adapterB, {"import", exportFile}));
  EXPECT_EQ(again.code, cli::kExitFailed);
  EXPECT_NE(again.err.find("already exists (result 3)"), std::string::npos) << again.err;

  ASSERT_EQ(RunProfile(With(adapterB, {"activate", "Office"})).code, cli::kExitOk);
  EXPECT_EQ(RunProfile(With(adapterB, {"list"})).out, "Office (active)\n");
  std::string station = rootB.path() / "var/lib/Orvane" / (std::string("WXP4_") + kIdB + "_sta");
  EXPECT_EQ(IniReadString(station, "Config", "CurProfile", ""), "Office");
  EXPECT_EQ(IniReadString(station, "Config", "SSID", ""), "6f6666696365206e6574");
  std::string profiles = rootB.path() / "var/lib/Orvane" / (std::string("WXP4_") + kIdB + "_prof");
  EXPECT_FALSE(IniReadString(profiles, "Office", "ActiveTime", "").empty());
}

TEST(ProfileCommand, XmlOutputValidatesAgainstTheSchemas) {
  test::TempDir data, files;
  std::vector<std::string> adapter = {"--adapter-id", kIdA, "--family", "wxp4", "--data-dir",
                                      data.path().string()};
  ProfileStore store({data.path().string() + "/", 6, kIdA});
  ASSERT_TRUE(store.WriteStoreValues(StoreFileKind::Profiles, "Home",
                                     {{"SSID", "home]]>\x01"}, {"NetworkType", "1"},
                                      {"AuthMode", "7"}, {"CipherMode", "6"},
                                      {"WPAPSK", "correct horse"}}));
  Result xml = RunProfile(With(adapter, {"xml", "Home"}));
  ASSERT_EQ(xml.code, cli::kExitOk) << xml.err;
  OV_SKIP_WITHOUT_PUBLISHED_SCHEMAS();
  std::string file = files.file("home.xml");
  test::WriteFileBytes(file, xml.out);
  std::string command = "xmllint --noout --schema '" + test::PublishedSchemaWrapper().string() +
                        "' '" + file + "' >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << xml.out;
}

TEST(ProfileCommand, Refusals) {
  // Rows without --data-dir choose the machine-wide folder: under a sandbox root, never "/".
  test::TempDir root, data, files;
  test::ScopedMachineRoot sandbox(root.path());
  std::vector<std::string> adapter = {"--adapter-id", kIdA, "--family", "4", "--data-dir",
                                      data.path().string()};
  std::string bad = files.file("two.prof");
  test::WriteFileBytes(bad, "[A]\r\nSSID=61\r\n[B]\r\nSSID=62\r\n");
  struct Row {
    const char* name;
    std::vector<std::string> args;
    int code;
    const char* message;
  } rows[] = {
      {"no action", adapter, cli::kExitUsage, "no action given"},
      {"unknown action", With(adapter, {"rename", "A"}), cli::kExitUsage, "unknown action"},
      {"missing argument", With(adapter, {"export", "A"}), cli::kExitUsage, "wrong number"},
      {"id without family", {"--adapter-id", kIdA, "list"}, cli::kExitUsage, "go together"},
      {"unknown family", {"--adapter-id", kIdA, "--family", "WXP9", "list"}, cli::kExitUsage,
       "unknown chip family"},
      {"unknown option", With(adapter, {"--bogus", "list"}), cli::kExitUsage, "unknown option"},
      {"secrets outside show", With(adapter, {"--show-secrets", "list"}), cli::kExitUsage,
       "belongs to show"},
      {"identifier that leaves the folder", {"--adapter-id", "../x", "--family", "4", "list"},
       cli::kExitUsage, "cannot name a profile store"},
      {"show a missing profile", With(adapter, {"show", "Nope"}), cli::kExitFailed, "no profile"},
      {"export a missing profile", With(adapter, {"export", "Nope", files.file("x.prof")}),
       cli::kExitFailed, "no profile"},
      {"xml of a missing profile", With(adapter, {"xml", "Nope"}), cli::kExitFailed, "no profile"},
      {"activate a missing profile", With(adapter, {"activate", "Nope"}), cli::kExitFailed,
       "no profile"},
      {"import two profiles", With(adapter, {"import", bad}), cli::kExitFailed,
       "more than one profile (result 1)"},
      {"import a missing file", With(adapter, {"import", files.file("none.prof")}), cli::kExitFailed,
       "(result 5)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Result r = RunProfile(row.args);
    EXPECT_EQ(r.code, row.code);
    EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
  }
  EXPECT_TRUE(test::Snapshot(data.path()).empty());  // none of them wrote anything
}

TEST(ProfileCommand, StoreFilePlantedInTheSharedFolderIsRefused) {
  test::TempDir top, files;
  ::chmod(top.path().c_str(), 0755);
  const std::string shared = top.file("Orvane");
  std::filesystem::create_directory(shared);
  ::chmod(shared.c_str(), 0777);  // the machine-wide data folder: every user writes there
  const std::string secret = top.file("root-only");
  const std::string secretText = "[keep]\r\nx=1\r\n";
  test::WriteFileBytes(secret, secretText);
  ::chmod(secret.c_str(), 0600);
  const std::string storeFile =
      ProfileStore({shared + "/", 4, kIdA}).FileName(StoreFileKind::Profiles);
  const std::string importFile = files.file("p.prof");
  test::WriteFileBytes(importFile, "[P]\r\nSSID=61\r\nAuthMode=0\r\n");
  std::vector<std::string> adapter = {"--adapter-id", kIdA, "--family", "4", "--data-dir", shared};

  enum class Planted { Link, Fifo };
  struct Row {
    const char* name;
    Planted planted;
    std::vector<std::string> action;
  } rows[] = {
      {"import through a link", Planted::Link, {"import", importFile}},
      {"list through a link", Planted::Link, {"list"}},
      {"list of a FIFO", Planted::Fifo, {"list"}},
      {"import into a FIFO", Planted::Fifo, {"import", importFile}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(storeFile);
    // Planted by another user: uid 65534 when the test runs as root.
    int planted = test::ExitCodeWithin(5, [&] {
      if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 2;
      int rc = row.planted == Planted::Link ? ::symlink(secret.c_str(), storeFile.c_str())
                                            : ::mkfifo(storeFile.c_str(), 0666);
      return rc == 0 ? 0 : 1;
    });
    ASSERT_EQ(planted, 0);
    int code = test::ExitCodeWithin(5, [&] {
      Result r = RunProfile(With(adapter, row.action));
      if (r.code != cli::kExitFailed) return 1;
      if (r.err.find("_prof is not a regular file") == std::string::npos) return 2;
      return r.out.empty() ? 0 : 3;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(test::ReadFileBytes(secret), secretText);
  }
}

TEST(ProfileCommand, UsesTheDiscoveredAdapter) {
  test::TempDir root, data, files;
  test::SimulatorProcess sim(OVUI_BIN_DIR,
                             std::filesystem::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json",
                             root.path());
  ASSERT_TRUE(sim.ready()) << sim.output();
  test::ScopedMachineRoot scoped(root.path());
  std::string file = files.file("p.prof");
  test::WriteFileBytes(file, "[Lab]\r\nSSID=6c6162\r\nSSID_inHex=1\r\nAuthMode=0\r\n");
  Result r = RunProfile({"--data-dir", data.path().string(), "import", file});
  ASSERT_EQ(r.code, cli::kExitOk) << r.err;
  // The default scenario's first adapter is of family 6.
  bool named = false;
  for (const auto& [name, bytes] : test::Snapshot(data.path())) {
    if (name.rfind("WXP4_{", 0) == 0 && name.size() > 5 && name.substr(name.size() - 5) == "_prof") {
      named = true;
      EXPECT_NE(bytes.find("[Lab]"), std::string::npos);
    }
  }
  EXPECT_TRUE(named);
  EXPECT_EQ(RunProfile({"--data-dir", data.path().string(), "list"}).out, "Lab\n");
}

TEST(ProfileCommand, NoAdapterOnAnEmptyMachine) {
  test::TempDir root, data;
  test::ScopedMachineRoot scoped(root.path());
  Result r = RunProfile({"--data-dir", data.path().string(), "list"});
  EXPECT_EQ(r.code, cli::kExitFailed);
  EXPECT_NE(r.err.find("no adapter found"), std::string::npos);
}

}  // namespace
}  // namespace ov
