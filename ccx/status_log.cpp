#include "ccx/status_log.h"

#include <cstdio>

namespace ov {

namespace {
constexpr int64_t kDayMs = 24LL * 60 * 60 * 1000;
}

std::string FormatLogTime(int64_t msOfDay) {
  const int64_t ms = ((msOfDay % kDayMs) + kDayMs) % kDayMs;
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d ", static_cast<int>(ms / 3600000),
                static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60),
                static_cast<int>(ms % 1000));
  return text;
}

const StatusLogEntry& StatusLog::Add(std::string_view text, int64_t nowMs) {
  int64_t stamp = nowMs;
  if (hasLast_) {
    // Only a line within 100 ms of the last moves; after the clock was set back the stamps follow
    // the clock rather than run ahead of it.
    const int64_t since = nowMs - lastStampMs_;
    if (since >= 0 && since < kStatusLogMinSpacingMs) stamp = lastStampMs_ + kStatusLogMinSpacingMs;
  }
  lastStampMs_ = stamp;
  hasLast_ = true;
  entries_.push_back({FormatLogTime(stamp),
                      text.empty() ? std::string(kStatusLogEmptyText) : std::string(text)});
  return entries_.back();
}

void StatusLog::Clear() { entries_.clear(); }

}  // namespace ov
