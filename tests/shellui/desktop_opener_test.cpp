#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QCoreApplication>
#include <QProcess>

#include <cstdlib>
#include <string>

#include "shell/ui/main_window.h"
#include "tests/shellui/qt_app_environment.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

// The opener the window uses is whatever `xdg-open` the PATH finds; each case puts its own
// stand-in there (or none).
class DesktopOpenerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* path = std::getenv("PATH");
    savedPath_ = path ? path : "";
    setenv("PATH", bin.path().c_str(), 1);
  }
  void TearDown() override { setenv("PATH", savedPath_.c_str(), 1); }

  void InstallOpener(int exitCode) {
    const auto script = bin.path() / "xdg-open";
    test::WriteFileBytes(script, "#!/bin/sh\nexit " + std::to_string(exitCode) + "\n");
    ::chmod(script.c_str(), 0755);
  }

  test::TempDir bin;

 private:
  std::string savedPath_;
};

TEST_F(DesktopOpenerTest, FailureIsReportedWhenNoViewerTakesTheDocument) {
  struct Case {
    const char* name;
    int opener;  // -1: none installed
    bool failed;
  } cases[] = {
      {"no opener at all", -1, true},
      {"the opener finds no program for the type", 3, true},
      {"the file is missing", 2, true},
      {"a viewer took it", 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(bin.path() / "xdg-open");
    if (c.opener >= 0) InstallOpener(c.opener);
    MainWindowHost host;
    int failures = 0;
    bool ended = c.opener < 0;
    host.OpenUrl(QUrl::fromLocalFile(QStringLiteral("/nonexistent/manual/index.html")),
                 [&] { ++failures; });
    if (c.opener >= 0) {
      // The opener's end arrives through the event loop; the process object goes away after it.
      ended = test::ProcessEventsUntil([] {
        return QCoreApplication::instance()->findChildren<QProcess*>().isEmpty();
      });
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(failures, c.failed ? 1 : 0);
  }
}

}  // namespace
}  // namespace ov
