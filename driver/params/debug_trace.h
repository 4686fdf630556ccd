#pragma once
#include <functional>
#include <string>
#include <string_view>

// The program's debug trace: fixed lines such as "RegQueryValueEx 'REGSTR_RADIO' failed\n" that
// record a failed registry or file call. They are never shown to the user. They go to standard
// error when OVUI_DEBUG is set (to anything but "" or "0"), and to a sink when one is installed.
//
// Apart from it, the trace file: a few operations (the HT transmit settings sent to the driver)
// append their lines to <root>/tmp/OvUI_test.txt when the program INI switches it on. The
// utility, its command line and the action queue share it, so it carries no Qt.
namespace ov {

// printf-style; the caller's format carries its own line end, as the traced lines do.
void DebugTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces the sink (nullptr restores the default). Tests use it to see which lines were traced;
// the sink receives each formatted line whether or not OVUI_DEBUG is set.
using DebugTraceSink = std::function<void(std::string_view line)>;
void SetDebugTraceSink(DebugTraceSink sink);

// The trace file, under the machine root.
inline constexpr char kDebugTraceFile[] = "tmp/OvUI_test.txt";
// [Advance] "OpenFile" = "1" in the program INI.
bool DebugTraceFileEnabled(const std::string& programIniPath);
// Appends `text` to the trace file when the program INI enables it. The file is created when
// missing (never through a symbolic link); one that cannot be opened is skipped silently.
void AppendDebugTraceFile(const std::string& programIniPath, std::string_view text);

}  // namespace ov
