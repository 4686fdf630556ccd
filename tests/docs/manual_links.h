#pragma once
// The manual as a reader's browser meets it: every link and picture of every page leads to a
// file of the manual (and an anchor there), every page is reachable from the contents, every
// picture says what it shows.
#include <filesystem>
#include <string>
#include <vector>

namespace ov::docs {

// One line per problem ("profile.html: images/x.png is missing"); empty when the manual is whole.
std::vector<std::string> ManualProblems(const std::filesystem::path& manualFolder);

}  // namespace ov::docs
