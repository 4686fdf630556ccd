#pragma once
#include <istream>
#include <optional>
#include <ostream>
#include <string>

// Secrets for the commands that connect: never from the command line.
namespace ov::cli {

// The secret as the first line of `given` when there is one; else from the terminal without
// echo after `prompt` on `err`, or the first line of standard input when that is not a terminal.
// Nothing at the end of input or past 1024 bytes.
std::optional<std::string> ReadSecret(const std::string& prompt, std::istream* given, std::ostream& err);

}  // namespace ov::cli
