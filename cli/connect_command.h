#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace ov::cli {

// `ovuictl connect [--json] [--identity USER] SSID`: what the site survey's Connect does, without
// the windows. Scans, takes the strongest network with exactly that SSID, reads the security the
// scan reports, asks for the secret it needs (a WEP key, a passphrase, or the 802.1X password) on
// the terminal without echo, or reads it as the first line of standard input when that is not a
// terminal, never from the command line; then resets the active configuration, queues the
// network as the survey does and waits for the service's answer: exit status 0 connected, 1 not.
int RunConnectCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The same with the secret read from `in` (a test's stream); `in` null: the terminal or stdin.
int RunConnectCommandWithInput(const std::vector<std::string>& args, std::ostream& out,
                               std::ostream& err, std::istream* in);

}  // namespace ov::cli
