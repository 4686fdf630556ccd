// DeZA: the access-point utility the switch tool starts after the hand-over, as
//   DeZA --adapter <hardware id> [--print]
// It logs its command line to <root>/tmp/DeZA.log, then shows the adapter serving as an access
// point until the user returns it to station mode (or, with --print, writes the same facts to
// standard output and ends).
// Exit status: 0 done, 1 --print found no such adapter, 2 a bad command line.
#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/system/machine_root.h"
#include "siblings/deza/ap_status.h"
#include "siblings/deza/deza_window.h"
#include "siblings/ovswap/sibling_switch.h"
#include "platform/system/guarded_main.h"

static int RunProgram(int argc, char** argv) {
  using namespace ov;
  std::vector<std::string> args(argv + 1, argv + argc);
  sibling::AppendLog("DeZA", sibling::CommandLineText("DeZA", args));

  std::string hardwareId;
  bool print = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--adapter" && i + 1 < args.size()) {
      hardwareId = args[++i];
    } else if (args[i] == "--print") {
      print = true;
    } else {
      hardwareId.clear();
      break;
    }
  }
  if (hardwareId.empty()) {
    std::fprintf(stderr, "usage: DeZA --adapter <hardware id> [--print]\n");
    return 2;
  }
  if (print) {
    const deza::AccessPointStatus status = deza::ReadAccessPointStatus(hardwareId);
    std::fputs(deza::StatusText(status).c_str(), stdout);
    return status.mode == deza::AdapterMode::Absent ? 1 : 0;
  }

  QApplication app(argc, argv);
  deza::DezaWindow window(ProgramFolder(), hardwareId,
                          [hardwareId] { return deza::ReadAccessPointStatus(hardwareId); });
  window.show();
  return app.exec();
}

int main(int argc, char** argv) {
  return ov::GuardedMain("DeZA", [&] { return RunProgram(argc, argv); });
}
