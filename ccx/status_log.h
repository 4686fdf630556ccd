#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The authentication-status log's lines, data in and data out.
namespace ov {

struct StatusLogEntry {
  std::string time;         // "hh:mm:ss.mmm " (the trailing blank is part of it)
  std::string description;  // never empty: an empty line reads "NULL STRING"
  bool operator==(const StatusLogEntry&) const = default;
};

inline constexpr int64_t kStatusLogMinSpacingMs = 100;
inline constexpr char kStatusLogEmptyText[] = "NULL STRING";

// "%02d:%02d:%02d.%03d " of a time of day in milliseconds (wrapped into one day).
std::string FormatLogTime(int64_t msOfDay);

// Consecutive lines carry stamps at least 100 ms apart. Rather than stall the user-interface
// thread between lines, a line that comes sooner is stamped 100 ms after the one before.
class StatusLog {
 public:
  // `nowMs`: local wall-clock milliseconds (since the epoch, shifted by the zone's offset).
  const StatusLogEntry& Add(std::string_view text, int64_t nowMs);
  void Clear();
  const std::vector<StatusLogEntry>& Entries() const { return entries_; }

 private:
  std::vector<StatusLogEntry> entries_;
  int64_t lastStampMs_ = 0;
  bool hasLast_ = false;
};

}  // namespace ov
