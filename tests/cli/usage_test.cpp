#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace ov::cli {
namespace {

// Every command's line of `ovuictl --help`, and the column its summary starts in.
TEST(CliUsage, CommandSummariesStartInOneColumn) {
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(RunCli({"--help"}, out, err), kExitOk);
  std::istringstream lines(out.str());
  std::string line;
  std::vector<size_t> columns;
  size_t listed = 0;
  while (std::getline(lines, line)) {
    for (const CliCommand& command : Commands()) {
      const std::string head = std::string("  ") + command.name + " ";
      if (line.rfind(head, 0) != 0) continue;
      ++listed;
      const size_t summary = line.find(command.summary);
      ASSERT_NE(summary, std::string::npos) << line;
      columns.push_back(summary);
      EXPECT_GE(summary, head.size() + 1) << "at least two blanks after the name: " << line;
    }
  }
  EXPECT_EQ(listed, Commands().size()) << out.str();
  for (size_t column : columns) EXPECT_EQ(column, columns.front()) << out.str();
}

}  // namespace
}  // namespace ov::cli
