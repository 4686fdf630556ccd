// No source file includes a layer above its own: the rule of docs/architecture.md, read from the
// layer table and checked over every source of the tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/layering/include_layers.h"

namespace ov::layering {
namespace {

namespace fs = std::filesystem;

const fs::path kRoot = OVUI_SOURCE_DIR;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

LayerTable Table(std::string_view text) {
  LayerTable table;
  std::string error;
  EXPECT_TRUE(ParseLayerTable(text, &table, &error)) << error;
  return table;
}

bool IsSource(const fs::path& path) {
  static const char* const kExtensions[] = {".h", ".hpp", ".cpp", ".cc", ".c"};
  for (const char* e : kExtensions) {
    if (path.extension() == e) return true;
  }
  return false;
}

// Every source below the root, build folders (generated sources) and hidden ones left out.
std::vector<SourceFile> TreeSources() {
  std::vector<SourceFile> files;
  for (const auto& top : fs::directory_iterator(kRoot)) {
    const std::string name = top.path().filename().string();
    if (!top.is_directory() || top.is_symlink() || name.starts_with(".") || name.starts_with("build") ||
        fs::exists(top.path() / "CMakeCache.txt")) {
      continue;
    }
    for (const auto& entry : fs::recursive_directory_iterator(top.path())) {
      if (!entry.is_regular_file() || entry.is_symlink() || !IsSource(entry.path())) continue;
      files.push_back({fs::relative(entry.path(), kRoot).generic_string(), ReadText(entry.path())});
    }
  }
  return files;
}

// The formatted findings of `check` over a small project held in memory, whose includes resolve
// to its own files only.
template <typename Check>
std::vector<std::string> FindingsIn(const std::map<std::string, std::string>& project, Check check) {
  std::vector<SourceFile> files;
  for (const auto& [path, text] : project) files.push_back({path, text});
  const auto resolve = [&](const std::string&, const std::string& include) -> std::optional<std::string> {
    if (project.count(include)) return include;
    return std::nullopt;
  };
  std::vector<std::string> found;
  for (const Finding& f : check(files, resolve)) found.push_back(FormatFinding(f));
  return found;
}

// Includes are written from the project root; a bare name is the including file's neighbour.
std::optional<std::string> ResolveInTree(const std::string& file, const std::string& include) {
  std::error_code ec;
  if (fs::is_regular_file(kRoot / include, ec)) return fs::path(include).lexically_normal().generic_string();
  const fs::path beside = (fs::path(file).parent_path() / include).lexically_normal();
  if (fs::is_regular_file(kRoot / beside, ec)) return beside.generic_string();
  return std::nullopt;
}

TEST(Layering, NoSourceIncludesALayerAboveItsOwn) {
  LayerTable table;
  std::string error;
  ASSERT_TRUE(ParseLayerTable(ReadText(kRoot / "tests/layering/layers.txt"), &table, &error)) << error;
  const std::vector<SourceFile> files = TreeSources();
  ASSERT_GT(files.size(), 100u) << "the tree was not found under " << kRoot;
  std::string report;
  for (const Finding& f : CheckLayering(table, files, ResolveInTree)) report += FormatFinding(f) + "\n";
  EXPECT_EQ(report, "") << "order: tests/layering/layers.txt";
}

TEST(Layering, QtFreeSourcesStayFreeOfQt) {
  QtFreeTable table;
  std::string error;
  ASSERT_TRUE(ParseQtFreeTable(ReadText(kRoot / "tests/layering/qt_free.txt"), &table, &error)) << error;
  const std::vector<SourceFile> files = TreeSources();
  ASSERT_GT(files.size(), 100u) << "the tree was not found under " << kRoot;
  std::string report;
  for (const Finding& f : CheckQtFree(table, files, ResolveInTree)) report += FormatFinding(f) + "\n";
  EXPECT_EQ(report, "") << "table: tests/layering/qt_free.txt";
}

TEST(Layering, TableOrderFollowsTheArchitecture) {
  LayerTable table;
  std::string error;
  ASSERT_TRUE(ParseLayerTable(ReadText(kRoot / "tests/layering/layers.txt"), &table, &error)) << error;
  auto layerOf = [&](const char* path) {
    auto place = PlaceOf(table, path);
    return place ? place->layer : -2;
  };
  // The chain of the architecture's Layers section, each strictly above the one before.
  const char* chain[] = {"platform/x.h", "driver/x.h", "nativewifi/x.h", "profiles/x.h", "shell/x.h",
                         "views/x.h"};
  for (size_t i = 1; i < std::size(chain); ++i) {
    EXPECT_LT(layerOf(chain[i - 1]), layerOf(chain[i])) << chain[i - 1] << " below " << chain[i];
  }
  EXPECT_EQ(layerOf("profiles/x.h"), layerOf("wps/x.h"));
  EXPECT_EQ(layerOf("views/x.h"), layerOf("radio/x.h"));
  EXPECT_EQ(layerOf("views/x.h"), layerOf("ccx/x.h"));
  EXPECT_LT(layerOf("lang/x.h"), layerOf("driver/x.h")) << "lang uses platform only";
  EXPECT_LT(layerOf("widgets/x.h"), layerOf("views/x.h")) << "the pages draw with the widgets";
  EXPECT_LT(layerOf("views/x.h"), layerOf("cli/x.h")) << "programs come last";
}

TEST(LayerTable, MalformedTablesAreRefusedWithTheLine) {
  const struct {
    const char* name;
    const char* text;
    const char* error;
  } cases[] = {
      {"empty", "# only a comment\n", "no layers"},
      {"layer without folders", "low a\nhigh\n", "line 2: layer \"high\" has no folders"},
      {"layer twice", "low a\nlow b\n", "line 2: layer \"low\" is given twice"},
      {"folder twice", "low a\nhigh b a\n", "line 2: \"a\" is placed twice"},
      {"absolute folder", "low /etc\n", "line 1: \"/etc\" is not a folder below the project root"},
      {"climbing folder", "low ../shared\n", "line 1: \"../shared\" is not a folder below the project root"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LayerTable table;
    std::string error;
    EXPECT_FALSE(ParseLayerTable(c.text, &table, &error));
    EXPECT_EQ(error, c.error);
  }
}

TEST(LayerTable, TheLongestEntryPlacesAFile) {
  const LayerTable table = Table(
      "low platform siblings/encrypt_client\n"
      "mid shell\n"
      "top siblings\n"
      "unlayered tests\n");
  const struct {
    const char* path;
    std::optional<int> layer;
  } cases[] = {
      {"platform/ini/ini.h", 0},
      {"siblings/encrypt_client.h", 0},
      {"siblings/encrypt_client.cpp", 0},
      {"siblings/encrypt_client_extra.h", 2},  // a longer name is another file
      {"siblings/deza/deza_window.h", 2},
      {"shell/ui/main_window.h", 1},
      {"shellfish/x.h", std::nullopt},  // a folder name that merely starts alike
      {"tests/support/temp_dir.h", -1},
      {"docs/x.h", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    auto place = PlaceOf(table, c.path);
    EXPECT_EQ(place ? std::optional<int>(place->layer) : std::nullopt, c.layer);
  }
}

TEST(QtFree, TheLongestEntryDecidesAndEveryQtIncludeIsNamed) {
  QtFreeTable table;
  std::string error;
  ASSERT_TRUE(ParseQtFreeTable("# comment\nfree platform\nqt platform/time/qt_timer\nfree shell/broker\n", &table,
                               &error))
      << error;
  const struct {
    const char* path;
    bool free;
  } places[] = {
      {"platform/ini/ini.cpp", true},
      {"platform/time/qt_timer.cpp", false},
      {"platform/time/qt_timer_extra.cpp", true},
      {"shell/broker.h", true},
      {"shell/monitor.h", false},
      {"cli/main.cpp", false},
  };
  for (const auto& p : places) EXPECT_EQ(MustBeQtFree(table, p.path), p.free) << p.path;

  const std::map<std::string, std::string> project = {
      {"platform/a.h", "#include <QString>\n#include <string>\n#include \"platform/time/qt_timer.h\"\n"},
      {"platform/time/qt_timer.h", "#include <QTimer>\n"},
      {"shell/broker.h", "#include \"platform/a.h\"\n#  include <QtCore/QObject>\n#include \"shell/monitor.h\"\n"},
      {"shell/monitor.h", "#include <QWidget>\n"},
  };
  const std::vector<std::string> found = FindingsIn(project, [&](auto& files, auto& resolve) {
    return CheckQtFree(table, files, resolve);
  });
  const std::vector<std::string> expected = {
      "platform/a.h:1: includes <QString>, but must be free of Qt",
      "platform/a.h:3: includes \"platform/time/qt_timer.h\", which may use Qt, but must be free of Qt",
      "shell/broker.h:2: includes <QtCore/QObject>, but must be free of Qt",
      "shell/broker.h:3: includes \"shell/monitor.h\", which may use Qt, but must be free of Qt",
  };
  EXPECT_EQ(found, expected);

  for (const char* bad : {"free\n", "maybe driver\n", "free /etc\n", "free a\nqt a\n"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseQtFreeTable(bad, &table, &error));
  }
}

TEST(QuotedIncludes, FindsEveryQuotedIncludeWithItsLine) {
  const std::string source =
      "// #include \"commented/out.h\"\n"
      "#include <QString>\n"
      "#include \"driver/a.h\"\n"
      "  #  include   \"shell/b.h\"  // spaced\n"
      "#include \"\"\n"
      "#define X \"driver/not_an_include.h\"\n"
      "#include \"neighbour.h\"";
  const std::vector<Include> includes = QuotedIncludes(source);
  ASSERT_EQ(includes.size(), 3u);
  EXPECT_EQ(includes[0].line, 3);
  EXPECT_EQ(includes[0].path, "driver/a.h");
  EXPECT_EQ(includes[1].line, 4);
  EXPECT_EQ(includes[1].path, "shell/b.h");
  EXPECT_EQ(includes[2].line, 7);
  EXPECT_EQ(includes[2].path, "neighbour.h");
}

TEST(CheckLayering, NamesEveryIncludeThatReachesUpward) {
  const LayerTable table = Table(
      "platform platform\n"
      "stores profiles wps\n"
      "shell shell\n"
      "unlayered tests\n");
  const std::map<std::string, std::string> project = {
      {"platform/a.h", "#include \"shell/c.h\"\n#include \"platform/b.h\"\n"},
      {"platform/b.h", ""},
      {"profiles/p.h", "#include \"wps/w.h\"\n#include \"platform/a.h\"\n#include <vector>\n"},
      {"wps/w.h", "#include \"profiles/p.h\"\n"},
      {"shell/c.h", "#include \"tests/support/x.h\"\n#include \"pugixml/pugixml.hpp\"\n"},
      {"tests/support/x.h", "#include \"shell/c.h\"\n"},
      {"tools/t.cpp", "#include \"platform/b.h\"\n"},
  };
  const std::vector<std::string> found = FindingsIn(project, [&](auto& files, auto& resolve) {
    return CheckLayering(table, files, resolve);
  });
  const std::vector<std::string> expected = {
      "platform/a.h:1: includes \"shell/c.h\" (layer shell) from layer platform",
      "shell/c.h:1: includes \"tests/support/x.h\" (layer unlayered) from layer shell",
      "tools/t.cpp: belongs to no layer (add its folder to the layer table)",
  };
  EXPECT_EQ(found, expected);
}

}  // namespace
}  // namespace ov::layering
