#include "tests/docs/command_terms.h"

#include <regex>
#include <sstream>
#include <vector>

namespace ov::docs {
namespace {

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::istringstream in{std::string(text)};
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

bool IsLiteralWord(const std::string& word) {
  static const std::regex literal("[a-z][a-z0-9|-]*");
  return std::regex_match(word, literal);
}

std::set<std::string> LongOptions(const std::string& text) {
  static const std::regex option("--[a-z][a-z-]*");
  std::set<std::string> options;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), option); it != std::sregex_iterator();
       ++it) {
    options.insert(it->str());
  }
  return options;
}

// "ovuictl sim ap add '<json>'" -> "ap add": the literal words after the command's name.
std::string ActionAfter(const std::string& line, const std::string& head) {
  const size_t at = line.find(head);
  if (at == std::string::npos) return {};
  std::istringstream words(line.substr(at + head.size()));
  std::string word;
  std::string action;
  while (words >> word && IsLiteralWord(word)) action += (action.empty() ? "" : " ") + word;
  return action;
}

// Roff text with escapes resolved, keeping bold runs marked as \x01...\x02.
std::string PlainWithBold(std::string line) {
  std::string out;
  bool bold = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '\\' || i + 1 >= line.size()) {
      out += line[i];
      continue;
    }
    const char next = line[++i];
    if (next == 'f' && i + 1 < line.size()) {
      const char font = line[++i];
      if (bold) out += '\x02';
      bold = font == 'B';
      if (bold) out += '\x01';
    } else if (next == '-') {
      out += '-';
    } else if (next == 'e') {
      out += '\\';
    } else {
      out += next;
    }
  }
  if (bold) out += '\x02';
  return out;
}

// ".B text" and ".BI a b" lines as inline text; other requests give nothing.
std::string RequestAsText(const std::string& line) {
  if (line.rfind(".B ", 0) == 0) return "\\fB" + line.substr(3) + "\\fR";
  if (line.rfind(".I ", 0) == 0) return "\\fI" + line.substr(3) + "\\fR";
  if (!line.empty() && line[0] == '.') return {};
  return line;
}

std::vector<std::string> BoldRuns(const std::string& marked) {
  std::vector<std::string> runs;
  size_t at = 0;
  while ((at = marked.find('\x01', at)) != std::string::npos) {
    const size_t end = marked.find('\x02', at);
    runs.push_back(marked.substr(at + 1, end - at - 1));
    at = end;
  }
  return runs;
}

std::string Unmarked(std::string marked) {
  std::erase(marked, '\x01');
  std::erase(marked, '\x02');
  return marked;
}

}  // namespace

std::set<std::string> HelpCommandNames(std::string_view help) {
  static const std::regex row("  ([a-z][a-z-]*)  +\\S.*");
  std::set<std::string> names;
  bool inList = false;
  for (const std::string& line : Lines(help)) {
    if (line == "commands:") {
      inList = true;
      continue;
    }
    std::smatch match;
    if (inList && std::regex_match(line, match, row)) names.insert(match[1]);
    else if (inList && line.empty()) inList = false;
  }
  return names;
}

CommandTerms HelpTerms(std::string_view command, std::string_view help) {
  static const std::regex item("  ([a-z][a-z-]*)( .*)?");
  const std::string head = "ovuictl " + std::string(command) + " ";
  CommandTerms terms;
  terms.options = LongOptions(std::string(help));
  bool inActions = false;
  for (const std::string& line : Lines(help)) {
    if (line == "actions:") {
      inActions = true;
      continue;
    }
    std::smatch match;
    if (inActions && std::regex_match(line, match, item)) {
      terms.actions.insert(match[1]);
      continue;
    }
    if (inActions && !line.starts_with("   ")) inActions = false;
    // Words after [bracketed options] are the action only when nothing else came between.
    std::string synopsis = line;
    synopsis = std::regex_replace(synopsis, std::regex("\\[[^\\]]*\\] ?"), "");
    if (const std::string action = ActionAfter(synopsis, head); !action.empty())
      terms.actions.insert(action);
  }
  return terms;
}

std::map<std::string, CommandTerms> ManPageTerms(std::string_view roff) {
  std::map<std::string, CommandTerms> byCommand;
  bool inCommands = false;
  bool afterTp = false;
  CommandTerms* current = nullptr;
  std::string currentName;
  for (const std::string& line : Lines(roff)) {
    if (line.starts_with(".SH ")) {
      inCommands = line == ".SH COMMANDS";
      current = nullptr;
      continue;
    }
    if (!inCommands) continue;
    if (line.starts_with(".SS ")) {
      currentName = line.substr(4);
      current = &byCommand[currentName];
      continue;
    }
    if (current == nullptr) continue;
    if (line == ".TP") {
      afterTp = true;
      continue;
    }
    const std::string marked = PlainWithBold(RequestAsText(line));
    current->options.merge(LongOptions(Unmarked(marked)));
    const std::vector<std::string> bold = BoldRuns(marked);
    if (afterTp && !bold.empty() && marked.starts_with('\x01')) {
      std::istringstream words(bold.front());
      std::string first;
      if (words >> first && IsLiteralWord(first)) current->actions.insert(first);
    }
    afterTp = false;
    const std::string head = "ovuictl " + currentName;
    for (size_t i = 0; i < bold.size(); ++i) {
      if (bold[i] != head && !bold[i].starts_with(head + " ")) continue;
      std::string action = bold[i].substr(head.size());
      if (!action.empty()) action.erase(0, 1);
      // "\fBovuictl radio on\fR|\fBoff\fR" keeps the alternatives together.
      if (action.empty()) continue;
      current->actions.insert(action);
    }
  }
  return byCommand;
}

std::string Describe(const std::set<std::string>& words) {
  std::string text = "{";
  for (const std::string& word : words) text += (text.size() > 1 ? ", " : "") + word;
  return text + "}";
}

}  // namespace ov::docs
