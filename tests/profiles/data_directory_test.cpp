// The data folder chosen by the "setting" file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

#include "platform/system/machine_root.h"
#include "profiles/data_directory.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

mode_t Mode(const std::filesystem::path& p) {
  struct stat st{};
  stat(p.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(DataDirectory, ChoiceBySettingType) {
  test::TempDir root, files;
  test::ScopedMachineRoot scoped(root.path());
  std::string setting = files.file("setting");
  std::string programDir = ProgramFolder().string() + "/";
  const char* oldXdg = std::getenv("XDG_DATA_HOME");
  std::string savedXdg = oldXdg ? oldXdg : "";
  setenv("XDG_DATA_HOME", "/xdg-data", 1);

  // No settings file: type 3, the machine-wide folder, open to every local user.
  DataDirectory machine = ChooseDataDirectory(setting);
  EXPECT_EQ(machine.path, (root.path() / "var/lib/Orvane").string() + "/");
  EXPECT_TRUE(machine.shared);
  EXPECT_EQ(Mode(root.path() / "var/lib/Orvane"), 0777u);

  struct Row {
    const char* name;
    std::string content;
    std::string path;
    bool shared;
  } rows[] = {
      {"per-user folder", "[config]\ntype=1\n", (root.path() / "xdg-data/ovui").string() + "/", false},
      {"given folder", "[config]\ntype=2\ndir=/srv/profiles\n", "/srv/profiles/", true},
      {"given folder with its slash", "[config]\ntype=2\ndir=/srv/profiles/\n", "/srv/profiles/", true},
      {"given folder by default the program's", "[config]\ntype=2\n", programDir, true},
      {"unknown type", "[config]\ntype=9\n", "", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    test::WriteFileBytes(setting, row.content);
    DataDirectory d = ChooseDataDirectory(setting);
    EXPECT_EQ(d.path, row.path);
    EXPECT_EQ(d.shared, row.shared);
  }
  EXPECT_EQ(Mode(root.path() / "xdg-data/ovui"), 0700u);

  // A machine folder that cannot be made falls back to the program folder.
  test::TempDir blocked;
  test::ScopedMachineRoot other(blocked.path());
  std::filesystem::create_directories(blocked.path() / "var");
  test::WriteFileBytes(blocked.path() / "var/lib", "not a folder");
  test::WriteFileBytes(setting, "[config]\ntype=3\n");
  EXPECT_EQ(ChooseDataDirectory(setting).path, programDir);

  if (oldXdg) {
    setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
  } else {
    unsetenv("XDG_DATA_HOME");
  }
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

// The utility and ovuictl read the settings file of the program folder, so the folder a command
// was typed in cannot choose another data folder for one of them.
TEST(DataDirectory, TheCurrentFolderDoesNotChoose) {
  test::TempDir root, elsewhere;
  test::ScopedMachineRoot scoped(root.path());
  test::WriteFileBytes(elsewhere.file("setting"),
                       "[config]\r\ntype=2\r\ndir=" + elsewhere.file("chosen") + "\r\n");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(elsewhere.path());
  const DataDirectory chosen = ChooseDataDirectory();
  std::filesystem::current_path(before);
  EXPECT_EQ(DefaultDataDirSettingsFile(), (ProgramFolder() / "setting").string());
  EXPECT_NE(chosen.path, elsewhere.file("chosen") + "/");
}

}  // namespace
}  // namespace ov
