// The OvUI program itself in a sandbox root with ovsimd: a second start hands over to the
// running one and ends without a monitor (and so without a second tray icon) of its own; Exit
// sent to the running one ends it cleanly, with the station parameters saved.
#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <chrono>
#include <filesystem>

#include "platform/registry/registry.h"
#include "platform/time/monitor_messages.h"
#include "shell/ui/single_instance.h"
#include "siblings/ovswap/sibling_switch.h"
#include "tests/shellui/qt_app_environment.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"

namespace ov::test {
namespace {

namespace fs = std::filesystem;
const fs::path kDefaultScenario = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json";
const QString kOvUI = QString::fromLatin1(OVUI_BIN_DIR "/OvUI");

QProcessEnvironment SandboxEnvironment(const fs::path& root) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("OVUI_ROOT", QString::fromStdString(root.string()));
  env.remove("XDG_RUNTIME_DIR");
  env.insert("QT_QPA_PLATFORM", "offscreen");
  return env;
}

// Reads the process's output until `text` appears or it ends; the guard is generous because a
// real process starts.
bool WaitForOutput(QProcess& process, const QByteArray& text, QByteArray* seen) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < deadline) {
    if (seen->contains(text)) return true;
    if (process.state() == QProcess::NotRunning) return false;
    process.waitForReadyRead(1000);
    *seen += process.readAllStandardOutput();
  }
  return seen->contains(text);
}

TEST(OvUIProgramTest, SecondStartHandsOffAndExitEndsCleanly) {
  TempDir root;
  ScopedMachineRoot scoped(root.path());
  SimulatorProcess simulator(OVUI_BIN_DIR, kDefaultScenario, root.path());
  ASSERT_TRUE(simulator.ready()) << simulator.output();

  QProcess first;
  first.setProcessEnvironment(SandboxEnvironment(root.path()));
  first.setProcessChannelMode(QProcess::MergedChannels);
  first.start(kOvUI, {"-S"});
  QByteArray firstOut;
  // The simulated driver answers "not ready" for its first moments; the monitor takes it within
  // its readiness ticks.
  ASSERT_TRUE(WaitForOutput(first, "OvUI: adapter set up: Orvane WXP4", &firstOut))
      << firstOut.toStdString();

  QProcess second;
  second.setProcessEnvironment(SandboxEnvironment(root.path()));
  second.start(kOvUI, {});
  ASSERT_TRUE(second.waitForFinished(30000)) << "the second start kept running";
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_FALSE(second.readAllStandardOutput().contains("OvUI running"))
      << "a second monitor was started";
  EXPECT_FALSE(second.readAllStandardError().contains("notification area"))
      << "a second tray icon was attempted";
  EXPECT_EQ(first.state(), QProcess::Running);

  ASSERT_TRUE(SingleInstance::SendCommand(root.path() / "run/ovui", IDM_TRAY_EXIT));
  ASSERT_TRUE(first.waitForFinished(30000)) << "Exit did not end the program";
  EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardOutput().toStdString();

  auto adapter = sibling::FindAdapter("PCI\\VEN_0F5A&DEV_0601");
  ASSERT_TRUE(adapter);
  EXPECT_TRUE(RegReadString(HKEY_LOCAL_MACHINE, adapter->adapterKeyPath + "\\Default", "OpMode"))
      << "the exit saves the station parameters into Default";
}

}  // namespace
}  // namespace ov::test

[[maybe_unused]] static auto* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new ov::test::QtAppEnvironment<QApplication>);
