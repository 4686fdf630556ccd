#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "platform/time/virtual_clock.h"
#include "shell/ui/main_window.h"
#include "tests/oid/recording_requester.h"
#include "tests/shellui/shell_test_support.h"
#include "tests/support/temp_dir.h"

// A page in the real main window, offscreen, on the virtual clock, against a recording driver:
// the test registers its page in `registry`, then makes the window.
namespace ov::test {

template <class Host = RecordingHost>
class PageWindowFixture : public ::testing::Test {
 protected:
  PageWindowFixture() {
    InstallKeyNameTexts();
    options.availableScreen = QRect(0, 0, 1280, 1024);  // the whole layout, no scroll bars
    options.services.driver = &driver;
    options.services.timers = &clock;
  }

  std::unique_ptr<COvUI2007Dlg> MakeWindow() {
    auto made = std::make_unique<COvUI2007Dlg>(state, host, registry, options);
    made->show();
    return made;
  }

  TempDir dir;
  VirtualClock clock;
  RecordingRequester driver;
  ShellState state;
  Host host;
  PageRegistry registry;
  COvUI2007Dlg::Options options{dir.path()};
  std::unique_ptr<COvUI2007Dlg> window;
};

}  // namespace ov::test
