#pragma once
#include <cstdio>
#include <exception>

// A program's body run so that nothing escapes main: an exception that reaches it (memory
// exhausted, a library's own) ends the program with a line naming it and status 1, not an abort.
namespace ov {

template <class Body>
int GuardedMain(const char* program, Body&& body) {
  try {
    return body();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: stopped: %s\n", program, e.what());
  } catch (...) {
    std::fprintf(stderr, "%s: stopped by an unknown error\n", program);
  }
  return 1;
}

}  // namespace ov
