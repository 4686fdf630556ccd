#include <exception>
#include <iostream>

#include "cli/cli.h"
#include "cli/service_backend.h"
#include "nativewifi/nm/wlan_backend_choice.h"
#include "driver/discovery/device_id_table.h"

int main(int argc, char** argv) {
  // Every command reports its own failures; what still escapes (memory exhausted, a library's
  // exception) ends the program with a message and the failure status instead of an abort.
  try {
    // The wireless service as the utility chooses it (environment, program INI, what is there).
    ov::cli::SetServiceBackendFactory([] {
      const ov::wlan::ChosenWlanService chosen = ov::wlan::MakeChosenWlanService(ov::DefaultProgramIniPath());
      ov::cli::ServiceBackend backend;
      backend.service = chosen.service;
      backend.noVendorDriver = chosen.backend == ov::wlan::WlanBackend::NetworkManager;
      backend.why = chosen.why;
      return backend;
    });
    const std::vector<std::string> args(argv + 1, argv + argc);
    return ov::cli::RunCli(args, std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "ERROR: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "ERROR: unexpected failure\n";
  }
  return ov::cli::kExitFailed;
}
