// Runs a fuzz target without libFuzzer: over the files given on the command line and over a
// fixed number of deterministic mutations of them, so the test suite can smoke-run every target
// with the ordinary compiler.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  std::vector<std::string> seeds;
  int iterations = 2000;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--iterations=", 0) == 0) {
      iterations = std::stoi(arg.substr(13));
      continue;
    }
    std::ifstream in(arg, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    seeds.push_back(bytes.str());
  }
  if (seeds.empty()) seeds.push_back("[s]\r\nk=v\r\n");
  std::mt19937 random(1);
  for (const auto& seed : seeds) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(seed.data()), seed.size());
  }
  const char interesting[] = "[]=;\"'\r\n \t\0x";
  for (int i = 0; i < iterations; ++i) {
    std::string input = seeds[random() % seeds.size()];
    int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits; ++e) {
      size_t at = input.empty() ? 0 : random() % (input.size() + 1);
      char c = (random() & 1) ? interesting[random() % (sizeof interesting - 1)]
                              : static_cast<char>(random());
      switch (random() % 3) {
        case 0: input.insert(input.begin() + static_cast<long>(at), c); break;
        case 1: if (at < input.size()) input[at] = c; break;
        default: if (at < input.size()) input.erase(at, 1 + random() % 4); break;
      }
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
  }
  std::printf("ran %zu seeds and %d mutations\n", seeds.size(), iterations);
  return 0;
}
