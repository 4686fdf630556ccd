// DeZA: the access-point utility, as a small stand-in. The real one configures the adapter as a
// software access point; this one logs its command line to <root>/tmp/DeZA.log and says what it
// would run, then ends.
#include <cstdio>
#include <string>
#include <vector>

#include "siblings/ovswap/sibling_switch.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const std::string line = ov::sibling::CommandLineText("DeZA", args);
  ov::sibling::AppendLog("DeZA", line);
  std::printf("%s\nDeZA: the access-point utility is not part of this build.\n", line.c_str());
  return 0;
}
