#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace ov::cli {

// `ovuictl profile [options] list | show NAME [--show-secrets] | export NAME FILE | import FILE |
// xml NAME | activate NAME`: the station profiles of the discovered adapter's store (or of the
// adapter named with --adapter-id and --family), in the data folder the utility chooses (or the
// one given with --data-dir).
int RunProfileCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ov::cli
