#pragma once
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// ovuictl: the command-line companion. Each first word names one command of the table below.
namespace ov::cli {

// Exit statuses of every ovuictl command.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // the registry refused, or the key or value is missing
constexpr int kExitUsage = 2;   // bad arguments or a malformed input file

// `args` are the words after the command's name. Returns the process's exit status.
using CommandFunction = int (*)(const std::vector<std::string>& args, std::ostream& out,
                                std::ostream& err);

struct CliCommand {
  const char* name;
  const char* summary;
  CommandFunction run;
};

std::span<const CliCommand> Commands();

// A command's refusal of its arguments: "ERROR: <problem>", then the command's usage text, on
// `err`; returns kExitUsage.
int UsageError(std::ostream& err, std::string_view problem, std::string_view usage);

// `args` are the program's arguments without the program name.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ov::cli
