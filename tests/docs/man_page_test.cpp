#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "cli/cli.h"
#include "tests/docs/command_terms.h"

namespace ov::docs {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string ManPage() { return ReadFile(OVUI_SOURCE_DIR "/docs/man/ovuictl.1"); }

std::string Help(std::vector<std::string> args) {
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(cli::RunCli(args, out, err), cli::kExitOk) << err.str();
  return out.str();
}

TEST(OvuictlManPage, HasASubsectionForEveryCommandOfTheHelpAndNoOther) {
  const std::set<std::string> commands = HelpCommandNames(Help({"--help"}));
  ASSERT_GE(commands.size(), 2u) << Help({"--help"});
  std::set<std::string> documented;
  for (const auto& [name, terms] : ManPageTerms(ManPage())) documented.insert(name);
  EXPECT_EQ(documented, commands) << "man page " << Describe(documented) << ", ovuictl --help "
                                  << Describe(commands);
}

// Each command's own --help and its subsection name the same actions and options.
TEST(OvuictlManPage, EachCommandHasTheActionsAndOptionsOfItsHelp) {
  const std::map<std::string, CommandTerms> man = ManPageTerms(ManPage());
  for (const std::string& command : HelpCommandNames(Help({"--help"}))) {
    SCOPED_TRACE("ovuictl " + command);
    const std::string help = Help({command, "--help"});
    ASSERT_FALSE(help.empty());
    const CommandTerms fromHelp = HelpTerms(command, help);
    const auto documented = man.find(command);
    ASSERT_NE(documented, man.end());
    EXPECT_EQ(documented->second.actions, fromHelp.actions)
        << "man page " << Describe(documented->second.actions) << ", --help "
        << Describe(fromHelp.actions) << "\n" << help;
    EXPECT_EQ(documented->second.options, fromHelp.options)
        << "man page " << Describe(documented->second.options) << ", --help "
        << Describe(fromHelp.options) << "\n" << help;
  }
}

// The comparison sees a dropped action, a renamed option and a missing command.
struct DriftRow {
  const char* name;
  const char* from;
  const char* to;
};

class ManPageDrift : public testing::TestWithParam<DriftRow> {};

TEST_P(ManPageDrift, IsSeen) {
  std::string roff = ManPage();
  const size_t at = roff.find(GetParam().from);
  ASSERT_NE(at, std::string::npos) << GetParam().from;
  roff.replace(at, std::string(GetParam().from).size(), GetParam().to);
  const std::map<std::string, CommandTerms> original = ManPageTerms(ManPage());
  EXPECT_NE(ManPageTerms(roff), original);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ManPageDrift,
    testing::Values(DriftRow{"SimApMoveDropped", "\\fBovuictl sim ap move\\fR \\fIbssid dBm\\fR\n", ""},
                    DriftRow{"ProfileXmlItemDropped", ".TP\n\\fBxml\\fR", ".TP\n\\fIxml\\fR"},
                    DriftRow{"ScanAdapterRenamed", "[\\fB\\-\\-adapter\\fR", "[\\fB\\-\\-iface\\fR"},
                    DriftRow{"DecodeSectionGone", ".SS decode\n", ""}),
    [](const testing::TestParamInfo<DriftRow>& row) { return std::string(row.param.name); });

// The parser of help texts against hand-written usage in the shapes ovuictl uses.
struct HelpRow {
  const char* name;
  const char* command;
  const char* help;
  std::set<std::string> actions;
  std::set<std::string> options;
};

class HelpText : public testing::TestWithParam<HelpRow> {};

TEST_P(HelpText, GivesItsActionsAndOptions) {
  const CommandTerms terms = HelpTerms(GetParam().command, GetParam().help);
  EXPECT_EQ(terms.actions, GetParam().actions) << Describe(terms.actions);
  EXPECT_EQ(terms.options, GetParam().options) << Describe(terms.options);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HelpText,
    testing::Values(
        HelpRow{"UsageLines", "reg",
                "usage: ovuictl reg query <KEY> [<value>] [--json]\n"
                "       ovuictl reg import <file>\n",
                {"query", "import"},
                {"--json"}},
        HelpRow{"ActionList", "wps",
                "usage: ovuictl wps [--data-dir DIR] <action>\nactions:\n  list        the list\n"
                "  pin [PIN]   a run\n              and more of it\nThe adapter is found.\n",
                {"list", "pin"},
                {"--data-dir"}},
        HelpRow{"TwoWordActionAndAlternatives", "sim",
                "usage: ovuictl sim ap add '<json>'\n       ovuictl sim radio <adapter> on|off\n",
                {"ap add", "radio"},
                {}},
        HelpRow{"PlaceholdersOnly", "decode", "usage: ovuictl decode FILE.pcap [--json]\n", {}, {"--json"}}),
    [](const testing::TestParamInfo<HelpRow>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace ov::docs
