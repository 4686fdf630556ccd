#include "platform/ini/ini_document.h"
#include "platform/system/ascii_text.h"

#include <unordered_map>
#include <unordered_set>

namespace ov::ini_detail {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// A line of nothing but blanks and NUL bytes is blank, as on the host: listed as an item it would
// end a double-NUL list early. NULs inside an entry stay data, so checks of values still see them.
bool OnlyBlanksAndNuls(std::string_view line) {
  return line.find_first_not_of(std::string_view(" \t\v\f\0", 5)) == std::string_view::npos;
}

bool EndsWithLineBreak(std::string_view text) {
  return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

std::string EntryLine(std::string_view key, std::string_view storedValue) {
  std::string line;
  line.reserve(key.size() + storedValue.size() + 3);
  line.append(key).append("=").append(storedValue).append("\r\n");
  return line;
}

}  // namespace

bool IniLineReader::next(IniLine& line) {
  if (pos_ >= text_.size()) return false;
  line = IniLine{};
  line.begin = pos_;
  size_t end = pos_;
  while (end < text_.size() && text_[end] != '\n' && text_[end] != '\r') ++end;
  line.end = end;
  if (end < text_.size()) {
    line.next = end + 1;
    if (text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n') line.next = end + 2;
  } else {
    line.next = end;
  }
  pos_ = line.next;

  line.trimmed = TrimBlanks(text_.substr(line.begin, line.end - line.begin));
  std::string_view t = line.trimmed;
  if (OnlyBlanksAndNuls(t)) {
    line.kind = LineKind::Blank;
  } else if (t.front() == ';') {
    line.kind = LineKind::Comment;
  } else if (t.front() == '[' && t.rfind(']') != std::string_view::npos) {
    line.kind = LineKind::Section;
    line.name = TrimBlanks(t.substr(1, t.rfind(']') - 1));
  } else {
    line.kind = LineKind::Entry;
    size_t eq = t.find('=');
    if (eq == std::string_view::npos) {
      line.name = t;
    } else {
      line.hasEquals = true;
      line.name = TrimBlanks(t.substr(0, eq));
      line.value = TrimBlanks(t.substr(eq + 1));
    }
  }
  return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) { return EqualsIgnoringAsciiCase(a, b); }

std::string LowerAscii(std::string_view s) { return AsciiLowered(s); }

std::string_view TrimBlanks(std::string_view s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string_view StripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

std::string QuoteForWrite(std::string_view value) {
  bool needsQuotes = !value.empty() &&
                     (IsBlank(value.front()) || IsBlank(value.back()) ||
                      StripQuotes(value).size() != value.size());
  if (!needsQuotes) return std::string(value);
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted.append("\"").append(value).append("\"");
  return quoted;
}

// Offsets rather than views of names keep the index small; the text never moves.
struct IniDocument::Index {
  struct Section {
    SectionRange range;
    std::unordered_map<std::string, std::string_view> values;  // lower-case key -> raw value
  };
  std::unordered_map<std::string, size_t> byName;  // lower-case name -> sections index
  std::vector<Section> sections;
  std::vector<std::string_view> names;             // first-seen order, non-empty names only
};

IniDocument::IniDocument(std::string text) : text_(std::move(text)) {}

const IniDocument::Index* IniDocument::index() const {
  if (text_.size() > kIndexLimitBytes) return nullptr;
  std::call_once(indexOnce_, [this] { buildIndex(); });
  return index_.get();
}

void IniDocument::buildIndex() const {
  auto index = std::make_unique<Index>();
  IniLineReader reader(text_);
  IniLine line;
  Index::Section* current = nullptr;  // the section being filled; null inside a repeated copy
  size_t currentHeader = 0;
  auto closeCurrent = [&](size_t end) {
    if (current != nullptr) current->range.bodyEnd = end;
  };
  while (reader.next(line)) {
    if (line.kind == LineKind::Section) {
      closeCurrent(line.begin);
      currentHeader = line.begin;
      std::string lower = LowerAscii(line.name);
      if (index->byName.count(lower) != 0) {
        current = nullptr;
        continue;
      }
      index->byName.emplace(std::move(lower), index->sections.size());
      index->sections.push_back(Index::Section{});
      current = &index->sections.back();
      current->range = SectionRange{currentHeader, line.next, text_.size(), line.next};
      if (!line.name.empty()) index->names.push_back(line.name);
      continue;
    }
    if (current == nullptr) continue;
    if (line.kind != LineKind::Blank) current->range.lastContentEnd = line.next;
    if (line.kind == LineKind::Entry && line.hasEquals && !line.name.empty()) {
      current->values.emplace(LowerAscii(line.name), line.value);  // first copy of a key wins
    }
  }
  closeCurrent(text_.size());
  index_ = std::move(index);
}

IniDocument::~IniDocument() = default;

std::optional<SectionRange> IniDocument::findSection(std::string_view section,
                                                     bool useIndex) const {
  if (const Index* idx = useIndex ? index() : nullptr) {
    auto it = idx->byName.find(LowerAscii(section));
    if (it == idx->byName.end()) return std::nullopt;
    return idx->sections[it->second].range;
  }
  IniLineReader reader(text_);
  IniLine line;
  std::optional<SectionRange> found;
  while (reader.next(line)) {
    if (line.kind == LineKind::Section) {
      if (found) {
        found->bodyEnd = line.begin;
        return found;
      }
      if (EqualsNoCase(line.name, section)) {
        found = SectionRange{line.begin, line.next, text_.size(), line.next};
      }
    } else if (found && line.kind != LineKind::Blank) {
      found->lastContentEnd = line.next;
    }
  }
  return found;
}

std::optional<IniLine> IniDocument::findKeyLine(const SectionRange& range,
                                                std::string_view key) const {
  IniLineReader reader(text_, range.bodyBegin);
  IniLine line;
  while (reader.position() < range.bodyEnd && reader.next(line)) {
    if (line.kind == LineKind::Entry && line.hasEquals && EqualsNoCase(line.name, key)) {
      return line;
    }
  }
  return std::nullopt;
}

std::optional<std::string_view> IniDocument::rawValue(std::string_view section,
                                                      std::string_view key) const {
  if (key.empty()) return std::nullopt;
  if (const Index* idx = index()) {
    auto it = idx->byName.find(LowerAscii(section));
    if (it == idx->byName.end()) return std::nullopt;
    const auto& values = idx->sections[it->second].values;
    auto v = values.find(LowerAscii(key));
    if (v == values.end()) return std::nullopt;
    return v->second;
  }
  auto range = findSection(section);
  if (!range) return std::nullopt;
  auto line = findKeyLine(*range, key);
  if (!line) return std::nullopt;
  return line->value;
}

bool IniDocument::hasSection(std::string_view section) const {
  return findSection(section).has_value();
}

std::vector<std::string_view> IniDocument::sectionNames() const {
  if (const Index* idx = index()) return idx->names;
  std::vector<std::string_view> names;
  std::unordered_set<std::string> seen;
  IniLineReader reader(text_);
  IniLine line;
  while (reader.next(line)) {
    if (line.kind == LineKind::Section && !line.name.empty() &&
        seen.insert(LowerAscii(line.name)).second) {
      names.push_back(line.name);
    }
  }
  return names;
}

std::vector<std::string_view> IniDocument::keyNames(std::string_view section) const {
  std::vector<std::string_view> keys;
  auto range = findSection(section);
  if (!range) return keys;
  IniLineReader reader(text_, range->bodyBegin);
  IniLine line;
  while (reader.position() < range->bodyEnd && reader.next(line)) {
    if (line.kind == LineKind::Entry && line.hasEquals && !line.name.empty()) {
      keys.push_back(line.name);
    }
  }
  return keys;
}

std::vector<std::string> IniDocument::sectionLines(std::string_view section) const {
  std::vector<std::string> lines;
  auto range = findSection(section);
  if (!range) return lines;
  IniLineReader reader(text_, range->bodyBegin);
  IniLine line;
  while (reader.position() < range->bodyEnd && reader.next(line)) {
    if (line.kind != LineKind::Entry) continue;
    std::string text(line.name);
    if (line.hasEquals) text.append("=").append(line.value);
    lines.push_back(std::move(text));
  }
  return lines;
}

std::optional<std::string> IniDocument::withValue(std::string_view section, std::string_view key,
                                                  std::string_view storedValue) const {
  auto range = findSection(section, false);
  if (!range) {
    std::string out = text_;
    if (!out.empty() && !EndsWithLineBreak(out)) out += "\r\n";
    out.append("[").append(section).append("]\r\n").append(EntryLine(key, storedValue));
    return out;
  }
  if (auto line = findKeyLine(*range, key)) {
    if (line->value == storedValue) return std::nullopt;
    std::string replacement(line->name);
    replacement.append("=").append(storedValue);
    std::string out = text_;
    out.replace(line->begin, line->end - line->begin, replacement);
    return out;
  }
  std::string insert;
  size_t at = range->lastContentEnd;
  if (at > 0 && text_[at - 1] != '\n' && text_[at - 1] != '\r') insert = "\r\n";
  insert += EntryLine(key, storedValue);
  std::string out = text_;
  out.insert(at, insert);
  return out;
}

std::optional<std::string> IniDocument::withoutKey(std::string_view section,
                                                   std::string_view key) const {
  auto range = findSection(section, false);
  if (!range) return std::nullopt;
  // Every copy of the key goes, so that a deleted key does not reappear from a duplicate line.
  std::string out;
  out.reserve(text_.size());
  out.append(text_, 0, range->bodyBegin);
  bool changed = false;
  IniLineReader reader(text_, range->bodyBegin);
  IniLine line;
  while (reader.position() < range->bodyEnd && reader.next(line)) {
    if (line.kind == LineKind::Entry && line.hasEquals && EqualsNoCase(line.name, key)) {
      changed = true;
      continue;
    }
    out.append(text_, line.begin, line.next - line.begin);
  }
  if (!changed) return std::nullopt;
  out.append(text_, range->bodyEnd, std::string::npos);
  return out;
}

std::optional<std::string> IniDocument::withoutSection(std::string_view section) const {
  // Removes every copy of the section with its lines.
  std::string out;
  out.reserve(text_.size());
  bool inRemoved = false;
  bool changed = false;
  IniLineReader reader(text_);
  IniLine line;
  while (reader.next(line)) {
    if (line.kind == LineKind::Section) inRemoved = EqualsNoCase(line.name, section);
    if (inRemoved) {
      changed = true;
      continue;
    }
    out.append(text_, line.begin, line.next - line.begin);
  }
  if (!changed) return std::nullopt;
  return out;
}

}  // namespace ov::ini_detail
