#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The layering rule as data: which layer each source file belongs to, the quoted includes of a
// source text, and the includes that reach a later layer than their file's.
namespace ov::layering {

// The name of the layer whose folders sit outside the order: they may include anything, and
// nothing layered may include them.
constexpr std::string_view kUnlayered = "unlayered";

struct LayerTable {
  std::vector<std::string> layers;  // in order, lowest first; the unlayered one is not here
  struct Entry {
    std::string prefix;  // "driver", "siblings/encrypt_client"
    int layer;           // index into layers, or -1 for the unlayered folders
  };
  std::vector<Entry> entries;
};

// One line per layer: its name, then its folders or file stems. '#' starts a comment line.
// False with *error naming the line for a layer without entries, a layer or entry given twice,
// or an entry that is absolute or climbs with "..".
bool ParseLayerTable(std::string_view text, LayerTable* table, std::string* error);

// Where a path relative to the project root belongs: the longest entry that is the path itself
// or a prefix of it ending at a '/' or '.'. Nothing when no entry matches.
std::optional<LayerTable::Entry> PlaceOf(const LayerTable& table, std::string_view path);

struct Include {
  int line;             // 1-based
  std::string path;     // as written between the quotes or brackets
  bool angled = false;  // <...>: a header of the system or a library such as Qt
};

// Every `#include "..."` and `#include <...>` line of a source text (spaces allowed around '#').
std::vector<Include> Includes(std::string_view source);
// The quoted ones only: the project's own headers are written that way.
std::vector<Include> QuotedIncludes(std::string_view source);

struct SourceFile {
  std::string path;  // relative to the project root
  std::string text;
};

struct Finding {
  std::string file;
  int line = 0;  // 0: the file itself is not placed
  std::string message;
};

// Every include of a layered file that reaches a later layer or an unlayered folder, and every
// file that no entry places. `resolve` maps an include, as written in the file at the given path,
// to the project file it names (relative to the root), or nothing for a header outside the
// project; only project files are judged.
std::vector<Finding> CheckLayering(
    const LayerTable& table, const std::vector<SourceFile>& files,
    const std::function<std::optional<std::string>(const std::string& file, const std::string& include)>&
        resolve);

// Which sources must stay free of Qt, so that the command-line programs and the data-in,
// data-out logic build without it. One entry a line, "free <prefix>" or "qt <prefix>"; the
// longest matching entry decides, and a file no entry matches may use Qt.
struct QtFreeTable {
  struct Entry {
    std::string prefix;
    bool free;
  };
  std::vector<Entry> entries;
};
bool ParseQtFreeTable(std::string_view text, QtFreeTable* table, std::string* error);
bool MustBeQtFree(const QtFreeTable& table, std::string_view path);

// Every include, in a file that must be free of Qt, of a Qt header (<Q...>) or of a project
// header that may use Qt.
std::vector<Finding> CheckQtFree(
    const QtFreeTable& table, const std::vector<SourceFile>& files,
    const std::function<std::optional<std::string>(const std::string& file, const std::string& include)>&
        resolve);

// "driver/x.cpp:12: includes \"shell/y.h\" (layer shell) from layer driver".
std::string FormatFinding(const Finding& finding);

}  // namespace ov::layering
