#pragma once
#include <fstream>
#include <string>
#include <vector>

// The key list kept beside the tests, read independently of the code's table.
namespace ov::test {

inline std::vector<std::string> ReadExpectedLanguageKeys() {
  std::ifstream in(std::string(OVUI_SOURCE_DIR) + "/tests/lang/expected_keys.txt");
  std::vector<std::string> keys;
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    keys.push_back(line);
  }
  return keys;
}

inline std::string EnglishLanguageFile() {
  return std::string(OVUI_SOURCE_DIR) + "/data/Languages/Lang0409.ini";
}

}  // namespace ov::test
