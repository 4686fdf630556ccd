#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/reg_file.h"

// `ovuictl reg ...`: query, set, delete, export and import of registry keys.
namespace ov::cli {

extern const char* const kRegUsage;

// `args` are the words after "reg".
int RunRegCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The host's wording for a registry error number.
std::string RegErrorText(uint32_t code);

// Reads the key and everything below it into export form: values in enumeration order (so that
// an import recreates that order), subkeys depth first in enumeration order. Names carry their
// stored letter case.
uint32_t ExportKey(const RegKeyName& key, RegFile* file);

// The largest file `reg import` reads: far above any export of this program's keys (20,000 keys
// with their values take a few MiB), far below what would strain memory.
constexpr uint64_t kMaxRegFileBytes = uint64_t{64} << 20;

struct ImportReport {
  size_t total = 0;    // changes in the file: one per [key] line and one per value line
  size_t applied = 0;  // all of them on success, none on failure
  int failedLine = 0;
  uint32_t failedCode = 0;
};

// Applies a parsed file in order as one transaction per hive (RegApplyChanges): all or nothing.
// A [-key] or "name"=- whose target is already gone counts as done. On failure `report` names the
// line the registry refused.
uint32_t ApplyRegFile(const RegFile& file, ImportReport* report);

}  // namespace ov::cli
