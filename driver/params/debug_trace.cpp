#include "driver/params/debug_trace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "driver/params/program_options.h"
#include "platform/system/machine_root.h"

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

bool DebugTraceFileEnabled(const std::string& programIniPath) {
  return ReadProgramOptions(programIniPath).openFile;
}

void AppendDebugTraceFile(const std::string& programIniPath, std::string_view text) {
  if (!DebugTraceFileEnabled(programIniPath)) return;
  const auto file = UnderRoot(kDebugTraceFile);
  // The trace lives in a folder every user may write: never follow a link planted there.
  const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return;
  const char* data = text.data();
  size_t left = text.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written <= 0) {
      if (written < 0 && errno == EINTR) continue;
      break;
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
  ::close(fd);
}

}  // namespace ov
