#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/time/monitor_messages.h"
#include "shell/ui/single_instance.h"
#include "shell/ui/startup.h"
#include "tests/shellui/qt_app_environment.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

[[maybe_unused]] auto* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new test::QtAppEnvironment<QCoreApplication>);

namespace fs = std::filesystem;

mode_t ModeOf(const fs::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return 0;
  return info.st_mode & 07777;
}

// Restores the process umask.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : previous_(::umask(mask)) {}
  ~ScopedUmask() { ::umask(previous_); }

 private:
  mode_t previous_;
};

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) previous_ = old;
    if (value) setenv(name, value, 1); else unsetenv(name);
  }
  ~ScopedEnv() {
    if (previous_) setenv(name_, previous_->c_str(), 1); else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> previous_;
};

TEST(StartSwitchTest, OnlyAnExactDashSInEitherCaseStartsInTheTray) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    bool trayOnly;
  } cases[] = {
      {"no arguments", {}, false},
      {"upper case", {"-S"}, true},
      {"lower case", {"-s"}, true},
      {"another switch", {"-x"}, false},
      {"switch with more after it", {"-S", "now"}, false},
      {"longer word", {"-Silent"}, false},
      {"blank before it", {" -S"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StartsInTrayOnly(c.args), c.trayOnly);
  }
}

// The data folder as the start chooses it, by the settings file beside the program.
class DataDirectoryTest : public ::testing::Test {
 protected:
  void WriteSettings(const std::string& text) {
    test::WriteFileBytes(program / "setting", text + ";" + std::string(++writes, '-') + "\r\n");
  }
  DataDirectory Start() {
    COvUI2007 app({program, dir.path() / "run"});
    EXPECT_EQ(app.InitInstance({}), COvUI2007::StartResult::RunMonitor);
    return app.DataDir();
  }
  test::TempDir dir;
  fs::path program = dir.path() / "bin";
  fs::path rootFolder = dir.path() / "root";
  test::ScopedMachineRoot root{rootFolder};
  ScopedUmask mask{077};  // the machine folder must not depend on the user's umask
  int writes = 0;

  void SetUp() override {
    fs::create_directories(program);
    fs::create_directories(rootFolder);
  }
};

TEST_F(DataDirectoryTest, MissingSettingsFileMeansTheMachineFolderOpenToEveryUser) {
  // A settings file in the current folder is not the one beside the program.
  test::WriteFileBytes(dir.path() / "setting", "[config]\r\ntype=2\r\ndir=/elsewhere\r\n");
  const fs::path previous = fs::current_path();
  fs::current_path(dir.path());
  const DataDirectory chosen = Start();
  fs::current_path(previous);

  const fs::path folder = rootFolder / "var/lib/Orvane";
  EXPECT_EQ(chosen.path, folder.string() + "/");
  EXPECT_TRUE(chosen.shared);
  ASSERT_TRUE(fs::is_directory(folder));
  // Every local user reads, writes and replaces files there: no sticky bit either.
  EXPECT_EQ(ModeOf(folder), 0777u) << std::oct << ModeOf(folder);
}

TEST_F(DataDirectoryTest, SettingsTypes) {
  ScopedEnv dataHome("XDG_DATA_HOME", "/home/someone/.data");
  struct Case {
    const char* name;
    const char* settings;
    std::string path;
    bool shared;
  } cases[] = {
      {"type 2 with its folder", "[config]\r\ntype=2\r\ndir=/srv/wireless\r\n", "/srv/wireless/",
       true},
      {"type 1: the user's own folder under the root", "[config]\r\ntype=1\r\n",
       (rootFolder / "home/someone/.data/ovui").string() + "/", false},
      {"type 3", "[config]\r\ntype=3\r\n", (rootFolder / "var/lib/Orvane").string() + "/", true},
      {"unknown type", "[config]\r\ntype=7\r\n", "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteSettings(c.settings);
    const DataDirectory chosen = Start();
    EXPECT_EQ(chosen.path, c.path);
    EXPECT_EQ(chosen.shared, c.shared);
  }
  EXPECT_EQ(ModeOf(rootFolder / "home/someone/.data/ovui"), 0700u);
}

TEST(HandOffCommandTest, OnlyTrayCommandsDecode) {
  struct Case {
    const char* line;
    std::optional<uint32_t> command;
  } cases[] = {
      {"32771\n", 32771u}, {"32772\n", 32772u}, {"32773", 32773u}, {"32774\n", std::nullopt},
      {"1\n", std::nullopt}, {"", std::nullopt}, {"\n", std::nullopt}, {"32771x\n", std::nullopt},
      {"-32771\n", std::nullopt}, {"99999999999\n", std::nullopt}, {" 32771\n", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(DecodeHandOffCommand(c.line), c.command);
  }
  EXPECT_EQ(DecodeHandOffCommand(EncodeHandOffCommand(IDM_TRAY_LAUNCH)), IDM_TRAY_LAUNCH);
}

TEST(SingleInstanceTest, SecondStartHandsOffToTheFirstAndDoesNotRun) {
  test::TempDir dir;
  const fs::path program = dir.path() / "bin";
  fs::create_directories(program);
  test::ScopedMachineRoot root(dir.path());
  const StartupPaths paths{program, dir.path() / "run"};

  COvUI2007 first(paths);
  ASSERT_EQ(first.InitInstance({}), COvUI2007::StartResult::RunMonitor);
  EXPECT_TRUE(first.OpenMainOnStart());
  EXPECT_TRUE(first.Instance().HoldsLock());
  EXPECT_TRUE(first.Instance().Listening());
  EXPECT_EQ(first.ProgramDir(), program.string() + "/");
  std::vector<uint32_t> received;
  first.SetCommandHandler([&](uint32_t command) { received.push_back(command); });

  {
    COvUI2007 second(paths);
    EXPECT_EQ(second.InitInstance({"-S"}), COvUI2007::StartResult::HandedOff);
    EXPECT_FALSE(second.Instance().HoldsLock());
    EXPECT_FALSE(second.Instance().Listening());
  }
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return !received.empty(); }));
  EXPECT_EQ(received, std::vector<uint32_t>{IDM_TRAY_LAUNCH});
}

TEST(SingleInstanceTest, FirstStartWithTheSwitchRunsWithoutOpeningTheMainWindow) {
  test::TempDir dir;
  test::ScopedMachineRoot root(dir.path());
  COvUI2007 app({dir.path(), dir.path() / "run"});
  EXPECT_EQ(app.InitInstance({"-s"}), COvUI2007::StartResult::RunMonitor);
  EXPECT_FALSE(app.OpenMainOnStart());
  EXPECT_EQ(app.DataDir().path, (dir.path() / "var/lib/Orvane").string() + "/");
}

TEST(SingleInstanceTest, LockReleasedWithTheFirstInstanceAndStaleSocketIgnored) {
  test::TempDir dir;
  const fs::path runtime = dir.path() / "run";
  {
    SingleInstance first(runtime);
    ASSERT_EQ(first.Acquire(), SingleInstance::Role::First);
  }
  // A socket file left behind (a crashed run) neither blocks nor fools the next start.
  test::WriteFileBytes(runtime / kInstanceSocketName, "");
  SingleInstance next(runtime);
  EXPECT_EQ(next.Acquire(), SingleInstance::Role::First);
  EXPECT_TRUE(next.Listening());
  EXPECT_EQ(ModeOf(runtime), 0700u);
}

// A first instance in a folder of its own, recording the commands that reach it.
struct ListeningFirst {
  test::TempDir dir;
  const fs::path runtime = dir.path() / "run";
  SingleInstance instance{runtime};
  std::vector<uint32_t> received;
  bool listening = false;

  ListeningFirst() {
    listening = instance.Acquire() == SingleInstance::Role::First && instance.Listening();
    instance.SetCommandHandler([this](uint32_t command) { received.push_back(command); });
  }
  QString SocketName() const {
    return QString::fromStdString((runtime / kInstanceSocketName).string());
  }
};

TEST(SingleInstanceTest, GarbageOnTheSocketIsIgnoredAndLaterCommandsStillArrive) {
  ListeningFirst first;
  ASSERT_TRUE(first.listening);
  const fs::path& runtime = first.runtime;
  std::vector<uint32_t>& received = first.received;

  {
    QLocalSocket socket;
    socket.connectToServer(first.SocketName());
    ASSERT_TRUE(socket.waitForConnected(2000));
    socket.write(QByteArray(64, 'A'));
    socket.waitForBytesWritten(2000);
    socket.disconnectFromServer();
  }
  ASSERT_TRUE(SingleInstance::SendCommand(runtime, 12345));  // delivered, then refused
  ASSERT_TRUE(SingleInstance::SendCommand(runtime, IDM_TRAY_LAUNCH));
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return !received.empty(); }));
  EXPECT_EQ(received, std::vector<uint32_t>{IDM_TRAY_LAUNCH});
}

// Peers that connect and never write must not use up the running instance's descriptors or
// keep a real command from arriving.
TEST(SingleInstanceTest, SilentPeersDoNotBlockALaterCommand) {
  ListeningFirst first;
  ASSERT_TRUE(first.listening);
  std::vector<std::unique_ptr<QLocalSocket>> silent;
  for (int i = 0; i < 40; ++i) {
    silent.push_back(std::make_unique<QLocalSocket>());
    silent.back()->connectToServer(first.SocketName());
    silent.back()->waitForConnected(200);
    QCoreApplication::processEvents();
  }
  ASSERT_TRUE(SingleInstance::SendCommand(first.runtime, IDM_TRAY_EXIT));
  EXPECT_TRUE(test::ProcessEventsUntil([&] { return !first.received.empty(); }));
  EXPECT_EQ(first.received, std::vector<uint32_t>{IDM_TRAY_EXIT});
}

// The real program started a second time: it must hand the command over and end at once.
TEST(SingleInstanceTest, SecondProgramStartSendsLaunchAndExits) {
  test::TempDir dir;
  test::ScopedMachineRoot root(dir.path());
  ScopedEnv runtimeEnv("XDG_RUNTIME_DIR", nullptr);
  SingleInstance first(DefaultRuntimeDirectory());
  ASSERT_EQ(first.RuntimeDirectory(), dir.path() / "run/ovui");
  ASSERT_EQ(first.Acquire(), SingleInstance::Role::First);
  std::vector<uint32_t> received;
  first.SetCommandHandler([&](uint32_t command) { received.push_back(command); });

  QProcess second;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("OVUI_ROOT", QString::fromStdString(dir.path().string()));
  env.remove("XDG_RUNTIME_DIR");
  env.insert("QT_QPA_PLATFORM", "offscreen");
  second.setProcessEnvironment(env);
  second.start(QString::fromLatin1(OVUI_BIN_DIR "/ovui_shell_preview"), {"-S"});
  ASSERT_TRUE(second.waitForFinished(30000)) << "the second start kept running";
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
  // A second instance would have announced its folders.
  EXPECT_FALSE(second.readAllStandardOutput().contains("ProgramDir"));

  ASSERT_TRUE(test::ProcessEventsUntil([&] { return !received.empty(); }));
  EXPECT_EQ(received, std::vector<uint32_t>{IDM_TRAY_LAUNCH});
}

}  // namespace
}  // namespace ov
