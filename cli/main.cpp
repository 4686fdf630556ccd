#include <exception>
#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) {
  // Every command reports its own failures; what still escapes (memory exhausted, a library's
  // exception) ends the program with a message and the failure status instead of an abort.
  try {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return ov::cli::RunCli(args, std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "ERROR: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "ERROR: unexpected failure\n";
  }
  return ov::cli::kExitFailed;
}
