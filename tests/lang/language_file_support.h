#pragma once
#include <cctype>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

// A language file read line by line as bytes, independently of the program's INI reader, and the
// printf conversions of a text.
namespace ov::test {

struct RawLine {
  std::size_t number;
  std::string text;
};

struct RawFile {
  std::vector<RawLine> lines;
  std::vector<std::size_t> bareLineFeeds;  // line numbers ending in "\n" without "\r"
  std::map<std::string, std::vector<RawLine>> sections;
};

inline RawFile ParseRaw(const std::string& bytes) {
  RawFile file;
  std::string current;
  std::size_t start = 0, number = 1;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (end < bytes.size()) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      else file.bareLineFeeds.push_back(number);
    }
    file.lines.push_back({number, line});
    if (!line.empty() && line.front() == '[' && line.back() == ']') {
      current = line.substr(1, line.size() - 2);
      file.sections[current];
    } else if (!line.empty()) {
      file.sections[current].push_back({number, line});
    }
    start = end + 1;
    ++number;
  }
  return file;
}

// The value as the reader sees it: one pair of surrounding quotes removed.
inline std::string Unquoted(const std::string& value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The printf conversions of a text, in order ("%d", "%08d", "%s", "%%"; a lone "%" as itself).
// Flags and width are kept, so "%08d" and "%d" differ.
inline std::vector<std::string> Conversions(const std::string& text) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    std::size_t j = i + 1;
    if (j < text.size() && text[j] == '%') {
      out.push_back("%%");
      i = j;
      continue;
    }
    while (j < text.size() && std::string("-+ #0").find(text[j]) != std::string::npos) ++j;
    while (j < text.size() && (std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == '.')) {
      ++j;
    }
    while (j < text.size() && std::string("hlLqjztI64").find(text[j]) != std::string::npos) ++j;
    if (j < text.size() && std::isalpha(static_cast<unsigned char>(text[j]))) {
      out.push_back(text.substr(i, j + 1 - i));
      i = j;
    } else {
      out.push_back("%");
    }
  }
  return out;
}

}  // namespace ov::test
