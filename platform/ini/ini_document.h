#pragma once
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text of one INI file and the queries and edits the private-profile functions need.
// Edits keep every byte they do not change (comments, blank lines, bytes before the first
// section), so a rewrite never loses what another tool put into the file.
namespace ov::ini_detail {

enum class LineKind { Blank, Comment, Section, Entry };

struct IniLine {
  size_t begin = 0;         // first byte of the line
  size_t end = 0;           // one past the last byte before the line break
  size_t next = 0;          // first byte of the following line
  LineKind kind = LineKind::Blank;
  std::string_view name;    // section name, or the key of an entry (trimmed)
  std::string_view value;   // value of an entry, trimmed, quotes kept
  bool hasEquals = false;   // an entry without '=' is a plain text line, not a key
  std::string_view trimmed; // the whole line without surrounding blanks
};

// Walks the lines of a text; CRLF, LF and lone CR all end a line.
class IniLineReader {
 public:
  explicit IniLineReader(std::string_view text, size_t from = 0) : text_(text), pos_(from) {}
  bool next(IniLine& line);
  size_t position() const { return pos_; }

 private:
  std::string_view text_;
  size_t pos_;
};

bool EqualsNoCase(std::string_view a, std::string_view b);
std::string LowerAscii(std::string_view s);
std::string_view TrimBlanks(std::string_view s);
// The value as callers see it: one pair of matching enclosing quotes removed.
std::string_view StripQuotes(std::string_view value);
// The value as it must be written so that StripQuotes of the stored text gives it back.
std::string QuoteForWrite(std::string_view value);

// Where one section's body lies: [bodyBegin, bodyEnd) holds its lines; header at headerBegin.
struct SectionRange {
  size_t headerBegin = 0;
  size_t bodyBegin = 0;
  size_t bodyEnd = 0;
  size_t lastContentEnd = 0;  // just after the last non-blank line of the section (or its header)
};

class IniDocument {
 public:
  // Files larger than this are answered by scanning their text on each call instead of keeping
  // a per-key index, so a huge or hostile file costs no memory beyond its own size.
  static constexpr size_t kIndexLimitBytes = 16u << 20;

  explicit IniDocument(std::string text);
  ~IniDocument();
  // The index points into the text, so a document stays where it was built.
  IniDocument(const IniDocument&) = delete;
  IniDocument& operator=(const IniDocument&) = delete;

  const std::string& text() const { return text_; }
  // True once a query has built the per-key index (never for files over the limit).
  bool indexed() const { return index_ != nullptr; }

  // Names as in the file (trimmed); a section that appears twice is answered by its first copy.
  std::optional<std::string_view> rawValue(std::string_view section, std::string_view key) const;
  bool hasSection(std::string_view section) const;
  std::vector<std::string_view> sectionNames() const;
  std::vector<std::string_view> keyNames(std::string_view section) const;
  // The section's lines as "key=value" or bare text, without comments and blank lines.
  std::vector<std::string> sectionLines(std::string_view section) const;

  // Edits: return the whole new text; nullopt when the text would not change.
  std::optional<std::string> withValue(std::string_view section, std::string_view key,
                                       std::string_view storedValue) const;
  std::optional<std::string> withoutKey(std::string_view section, std::string_view key) const;
  std::optional<std::string> withoutSection(std::string_view section) const;

 private:
  struct Index;
  // The index is built by the first query that can use it, so a document that is only edited
  // (a run of writes) never pays for it. Edits always scan.
  const Index* index() const;
  void buildIndex() const;
  std::optional<SectionRange> findSection(std::string_view section, bool useIndex = true) const;
  std::optional<IniLine> findKeyLine(const SectionRange& range, std::string_view key) const;

  std::string text_;
  mutable std::once_flag indexOnce_;
  mutable std::unique_ptr<Index> index_;
};

}  // namespace ov::ini_detail
