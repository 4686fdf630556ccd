#pragma once
#include <functional>
#include <string>
#include <string_view>

// The program's debug trace: fixed lines such as "RegQueryValueEx 'REGSTR_RADIO' failed\n" that
// record a failed registry or file call. They are never shown to the user. They go to standard
// error when OVUI_DEBUG is set (to anything but "" or "0"), and to a sink when one is installed.
namespace ov {

// printf-style; the caller's format carries its own line end, as the traced lines do.
void DebugTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces the sink (nullptr restores the default). Tests use it to see which lines were traced;
// the sink receives each formatted line whether or not OVUI_DEBUG is set.
using DebugTraceSink = std::function<void(std::string_view line)>;
void SetDebugTraceSink(DebugTraceSink sink);

}  // namespace ov
