#include "cli/secret_input.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>

namespace ov::cli {
namespace {

// A secret longer than any field could hold is refused, not read on without bound.
constexpr size_t kSecretReadLimit = 1024;

// One line of at most kSecretReadLimit bytes, without its line end; none at the end of input.
std::optional<std::string> ReadLine(std::istream& in) {
  std::string line;
  char c;
  while (in.get(c)) {
    if (c == '\n') return line;
    if (line.size() >= kSecretReadLimit) return std::nullopt;
    line.push_back(c);
  }
  if (line.empty()) return std::nullopt;
  return line;
}

}  // namespace

// The secret from the terminal without echo, or from standard input.
std::optional<std::string> ReadSecret(const std::string& prompt, std::istream* given,
                                      std::ostream& err) {
  std::optional<std::string> line;
  if (given) {
    line = ReadLine(*given);
  } else if (isatty(STDIN_FILENO)) {
    err << prompt << std::flush;
    termios saved{};
    const bool quiet = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (quiet) {
      termios silent = saved;
      silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
      tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    }
    line = ReadLine(std::cin);
    if (quiet) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    err << "\n";
  } else {
    line = ReadLine(std::cin);
  }
  if (line && !line->empty() && line->back() == '\r') line->pop_back();
  return line;
}

}  // namespace ov::cli
