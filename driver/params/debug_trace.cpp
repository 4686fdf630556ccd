#include "driver/params/debug_trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace ov {
namespace {

std::mutex sinkMutex;
DebugTraceSink& Sink() {
  static DebugTraceSink sink;
  return sink;
}

bool TraceToStderr() {
  const char* flag = std::getenv("OVUI_DEBUG");
  return flag != nullptr && *flag != '\0' && std::strcmp(flag, "0") != 0;
}

}  // namespace

void DebugTrace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string line;
  if (needed > 0) {
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    line.assign(buffer.data(), static_cast<size_t>(needed));
  }
  va_end(args);

  DebugTraceSink sink;
  {
    std::lock_guard lock(sinkMutex);
    sink = Sink();
  }
  if (sink) sink(line);
  if (TraceToStderr()) std::fputs(line.c_str(), stderr);
}

void SetDebugTraceSink(DebugTraceSink sink) {
  std::lock_guard lock(sinkMutex);
  Sink() = std::move(sink);
}

}  // namespace ov
