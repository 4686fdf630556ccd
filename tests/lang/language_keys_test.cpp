#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "lang/language_keys.h"
#include "tests/lang/lang_test_support.h"

namespace ov {
namespace {

std::string Joined(const std::vector<std::string>& names) {
  std::string out;
  for (const auto& n : names) out += (out.empty() ? "" : ", ") + n;
  return out;
}

TEST(LanguageKeys, ExpectedListHoldsTheDistinctKeysOfTheLanguageFiles) {
  const std::vector<std::string> expected = test::ReadExpectedLanguageKeys();
  const std::set<std::string> distinct(expected.begin(), expected.end());
  EXPECT_EQ(expected.size(), 602u);
  EXPECT_EQ(distinct.size(), expected.size()) << "the expected list repeats a key";
}

TEST(LanguageKeys, CodeTableAndExpectedListAgreeInBothDirectionsAndInOrder) {
  const std::vector<std::string> expected = test::ReadExpectedLanguageKeys();
  const std::vector<std::string> code(kLanguageKeyNames.begin(), kLanguageKeyNames.end());
  const std::set<std::string> expectedSet(expected.begin(), expected.end());
  const std::set<std::string> codeSet(code.begin(), code.end());

  std::vector<std::string> missingFromCode, unknownToList;
  std::set_difference(expectedSet.begin(), expectedSet.end(), codeSet.begin(), codeSet.end(),
                      std::back_inserter(missingFromCode));
  std::set_difference(codeSet.begin(), codeSet.end(), expectedSet.begin(), expectedSet.end(),
                      std::back_inserter(unknownToList));
  EXPECT_TRUE(missingFromCode.empty()) << "keys the code cannot read: " << Joined(missingFromCode);
  EXPECT_TRUE(unknownToList.empty()) << "keys the code reads that are not in the list: "
                                     << Joined(unknownToList);

  // The table is read in the fixed key order.
  ASSERT_EQ(code.size(), expected.size());
  for (std::size_t i = 0; i < code.size(); ++i) {
    ASSERT_EQ(code[i], expected[i]) << "first difference at position " << i;
  }
}

}  // namespace
}  // namespace ov
