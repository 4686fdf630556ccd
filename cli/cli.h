#pragma once
#include <ostream>
#include <span>
#include <string>
#include <vector>

// ovuictl: the command-line companion. Each first word names one command of the table below.
namespace ov::cli {

// `args` are the words after the command's name. Returns the process's exit status.
using CommandFunction = int (*)(const std::vector<std::string>& args, std::ostream& out,
                                std::ostream& err);

struct CliCommand {
  const char* name;
  const char* summary;
  CommandFunction run;
};

std::span<const CliCommand> Commands();

// `args` are the program's arguments without the program name.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ov::cli
