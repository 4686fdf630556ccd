#include "platform/system/admin_group.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ov {
namespace {

GroupIdLookup Groups(std::map<std::string, gid_t> groups) {
  return [groups](const std::string& name) -> std::optional<gid_t> {
    auto it = groups.find(name);
    if (it == groups.end()) return std::nullopt;
    return it->second;
  };
}

TEST(AdminGroupTest, Rule) {
  struct Row {
    const char* name;
    ProcessCredentials credentials;
    std::map<std::string, gid_t> groups;
    bool expected;
  };
  const Row rows[] = {
      {"root, no admin groups at all", {0, 0, {}}, {}, true},
      {"root with another primary group", {0, 1000, {}}, {{"sudo", 27}}, true},
      {"primary group sudo", {1000, 27, {}}, {{"sudo", 27}}, true},
      {"supplementary sudo", {1000, 1000, {4, 24, 27}}, {{"sudo", 27}}, true},
      {"supplementary wheel, no sudo group", {1000, 1000, {10}}, {{"wheel", 10}}, true},
      {"primary wheel, both groups exist", {1000, 10, {}}, {{"sudo", 27}, {"wheel", 10}}, true},
      {"member of neither", {1000, 1000, {4, 24}}, {{"sudo", 27}, {"wheel", 10}}, false},
      {"neither group exists", {1000, 1000, {27, 10}}, {}, false},
      {"other groups with admin-like ids", {1000, 1000, {27}}, {{"adm", 27}, {"wheel", 10}}, false},
      {"gid 0 is not special", {1000, 0, {0}}, {{"sudo", 27}}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(IsInAdminGroup(row.credentials, Groups(row.groups)), row.expected);
  }
  EXPECT_FALSE(IsInAdminGroup({1000, 27, {27}}, GroupIdLookup{})) << "no lookup finds no group";
}

TEST(AdminGroupTest, SystemGroupLookup) {
  // Every Linux system has the group "root" with id 0.
  EXPECT_EQ(LookupGroupId("root"), std::optional<gid_t>(0));
  EXPECT_EQ(LookupGroupId("ovui-no-such-group-9f3c"), std::nullopt);
  EXPECT_EQ(LookupGroupId(""), std::nullopt);

  const ProcessCredentials credentials = CurrentProcessCredentials();
  EXPECT_EQ(credentials.effectiveUid, geteuid());
  EXPECT_EQ(credentials.effectiveGid, getegid());
  EXPECT_EQ(ProcessIsInAdminGroup(), IsInAdminGroup(credentials, LookupGroupId));
}

}  // namespace
}  // namespace ov
