#pragma once
// What a command's help text and its man page say it accepts, reduced to comparable sets: the
// actions (literal words after "ovuictl CMD", or the items of an "actions:" list) and the
// long options. Placeholders (<KEY>, NAME, [..]) are not terms.
#include <map>
#include <set>
#include <string>
#include <string_view>

namespace ov::docs {

struct CommandTerms {
  std::set<std::string> actions;
  std::set<std::string> options;
  bool operator==(const CommandTerms&) const = default;
};

// The command names of `ovuictl --help` (the lines under "commands:").
std::set<std::string> HelpCommandNames(std::string_view help);

// The terms of `ovuictl CMD --help`.
CommandTerms HelpTerms(std::string_view command, std::string_view help);

// The terms of each ".SS CMD" subsection of the man page's COMMANDS section, by command name.
// In roff an action is a bold word: directly after the bold "ovuictl CMD" of a synopsis line, or
// first on the line after ".TP".
std::map<std::string, CommandTerms> ManPageTerms(std::string_view roff);

std::string Describe(const std::set<std::string>& words);

}  // namespace ov::docs
