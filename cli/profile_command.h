#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace ov::cli {

// `ovuictl profile [options] list | show NAME [--show-secrets] | export NAME FILE | import FILE |
// xml NAME | activate NAME`: the station profiles of the discovered adapter's store (or of the
// adapter named with --adapter-id and --family), in the data folder the utility chooses (or the
// one given with --data-dir). `activate` applies the profile as the profile list's Apply does and
// waits for the wireless service's answer: exit status 0 connected, 1 not.
int RunProfileCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ov::cli
