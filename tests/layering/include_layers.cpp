#include "tests/layering/include_layers.h"

#include <sstream>

namespace ov::layering {

namespace {

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::istringstream in{std::string(line)};
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

bool Matches(std::string_view prefix, std::string_view path) {
  if (path.size() < prefix.size() || path.substr(0, prefix.size()) != prefix) return false;
  return path.size() == prefix.size() || path[prefix.size()] == '/' || path[prefix.size()] == '.';
}

std::string LayerName(const LayerTable& table, int layer) {
  return layer < 0 ? std::string(kUnlayered) : table.layers[static_cast<size_t>(layer)];
}

}  // namespace

bool ParseLayerTable(std::string_view text, LayerTable* table, std::string* error) {
  *table = {};
  std::istringstream in{std::string(text)};
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    const std::vector<std::string> words = Words(line);
    if (words.empty() || words[0][0] == '#') continue;
    const std::string where = "line " + std::to_string(number) + ": ";
    const std::string& name = words[0];
    if (words.size() < 2) {
      *error = where + "layer \"" + name + "\" has no folders";
      return false;
    }
    int layer = -1;
    if (name != kUnlayered) {
      for (const std::string& known : table->layers) {
        if (known == name) {
          *error = where + "layer \"" + name + "\" is given twice";
          return false;
        }
      }
      layer = static_cast<int>(table->layers.size());
      table->layers.push_back(name);
    }
    for (size_t i = 1; i < words.size(); ++i) {
      std::string prefix = words[i];
      while (!prefix.empty() && prefix.back() == '/') prefix.pop_back();
      if (prefix.empty() || prefix[0] == '/' || prefix.find("..") != std::string::npos) {
        *error = where + "\"" + words[i] + "\" is not a folder below the project root";
        return false;
      }
      for (const LayerTable::Entry& e : table->entries) {
        if (e.prefix == prefix) {
          *error = where + "\"" + prefix + "\" is placed twice";
          return false;
        }
      }
      table->entries.push_back({prefix, layer});
    }
  }
  if (table->layers.empty()) {
    *error = "no layers";
    return false;
  }
  return true;
}

std::optional<LayerTable::Entry> PlaceOf(const LayerTable& table, std::string_view path) {
  const LayerTable::Entry* best = nullptr;
  for (const LayerTable::Entry& e : table.entries) {
    if (Matches(e.prefix, path) && (!best || e.prefix.size() > best->prefix.size())) best = &e;
  }
  if (!best) return std::nullopt;
  return *best;
}

std::vector<Include> QuotedIncludes(std::string_view source) {
  std::vector<Include> out = Includes(source);
  std::erase_if(out, [](const Include& i) { return i.angled; });
  return out;
}

std::vector<Include> Includes(std::string_view source) {
  std::vector<Include> out;
  int number = 0;
  size_t start = 0;
  while (start <= source.size()) {
    size_t end = source.find('\n', start);
    if (end == std::string_view::npos) end = source.size();
    std::string_view line = source.substr(start, end - start);
    ++number;
    start = end + 1;
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string_view::npos || line[i] != '#') continue;
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string_view::npos || line.substr(i, 7) != "include") continue;
    i = line.find_first_not_of(" \t", i + 7);
    if (i == std::string_view::npos || (line[i] != '"' && line[i] != '<')) continue;
    const bool angled = line[i] == '<';
    const size_t close = line.find(angled ? '>' : '"', i + 1);
    if (close == std::string_view::npos || close == i + 1) continue;
    out.push_back({number, std::string(line.substr(i + 1, close - i - 1)), angled});
  }
  return out;
}

std::vector<Finding> CheckLayering(
    const LayerTable& table, const std::vector<SourceFile>& files,
    const std::function<std::optional<std::string>(const std::string&, const std::string&)>& resolve) {
  std::vector<Finding> findings;
  for (const SourceFile& file : files) {
    const auto own = PlaceOf(table, file.path);
    if (!own) {
      findings.push_back({file.path, 0, "belongs to no layer (add its folder to the layer table)"});
      continue;
    }
    if (own->layer < 0) continue;
    for (const Include& include : QuotedIncludes(file.text)) {
      const auto target = resolve(file.path, include.path);
      if (!target) continue;
      const auto place = PlaceOf(table, *target);
      const int layer = place ? place->layer : -1;
      if (layer >= 0 && layer <= own->layer) continue;
      findings.push_back({file.path, include.line,
                          "includes \"" + include.path + "\" (layer " +
                              (place ? LayerName(table, layer) : std::string("none")) +
                              ") from layer " + LayerName(table, own->layer)});
    }
  }
  return findings;
}

bool ParseQtFreeTable(std::string_view text, QtFreeTable* table, std::string* error) {
  *table = {};
  std::istringstream in{std::string(text)};
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    const std::vector<std::string> words = Words(line);
    if (words.empty() || words[0][0] == '#') continue;
    const std::string where = "line " + std::to_string(number) + ": ";
    if (words.size() != 2 || (words[0] != "free" && words[0] != "qt")) {
      *error = where + "expected \"free <folder>\" or \"qt <folder>\"";
      return false;
    }
    std::string prefix = words[1];
    while (!prefix.empty() && prefix.back() == '/') prefix.pop_back();
    if (prefix.empty() || prefix[0] == '/' || prefix.find("..") != std::string::npos) {
      *error = where + "\"" + words[1] + "\" is not a folder below the project root";
      return false;
    }
    for (const QtFreeTable::Entry& e : table->entries) {
      if (e.prefix == prefix) {
        *error = where + "\"" + prefix + "\" is given twice";
        return false;
      }
    }
    table->entries.push_back({prefix, words[0] == "free"});
  }
  return true;
}

bool MustBeQtFree(const QtFreeTable& table, std::string_view path) {
  const QtFreeTable::Entry* best = nullptr;
  for (const QtFreeTable::Entry& e : table.entries) {
    if (Matches(e.prefix, path) && (!best || e.prefix.size() > best->prefix.size())) best = &e;
  }
  return best && best->free;
}

std::vector<Finding> CheckQtFree(
    const QtFreeTable& table, const std::vector<SourceFile>& files,
    const std::function<std::optional<std::string>(const std::string&, const std::string&)>& resolve) {
  std::vector<Finding> findings;
  for (const SourceFile& file : files) {
    if (!MustBeQtFree(table, file.path)) continue;
    for (const Include& include : Includes(file.text)) {
      if (include.angled) {
        if (include.path[0] == 'Q') {
          findings.push_back({file.path, include.line, "includes <" + include.path + ">, but must be free of Qt"});
        }
        continue;
      }
      const auto target = resolve(file.path, include.path);
      if (target && !MustBeQtFree(table, *target)) {
        findings.push_back({file.path, include.line,
                            "includes \"" + include.path + "\", which may use Qt, but must be free of Qt"});
      }
    }
  }
  return findings;
}

std::string FormatFinding(const Finding& finding) {
  std::string text = finding.file;
  if (finding.line > 0) text += ":" + std::to_string(finding.line);
  return text + ": " + finding.message;
}

}  // namespace ov::layering
