#include "cli/reg_command.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/system/error_codes.h"

namespace ov::cli {

const char* const kRegUsage =
    "usage: ovuictl reg query <KEY> [<value>] [--json]\n"
    "       ovuictl reg set <KEY> <value> <type> <data>...\n"
    "       ovuictl reg delete <KEY> [<value>]\n"
    "       ovuictl reg export <KEY> <file>\n"
    "       ovuictl reg import <file>\n"
    "KEY is ROOT\\path with ROOT one of HKLM, HKCU, HKU, HKCR (or HKEY_LOCAL_MACHINE, ...).\n"
    "<value> \"\" is the key's unnamed value. Types: REG_SZ, REG_EXPAND_SZ, REG_DWORD,\n"
    "REG_QWORD (decimal or 0x hex), REG_BINARY (hex bytes), REG_MULTI_SZ (one item per\n"
    "argument, or items separated by \\0). <file> - is standard output for export.\n";

namespace {

constexpr std::string_view kClassesPrefix = "SOFTWARE\\Classes";

int Usage(std::ostream& err, const std::string& problem) {
  err << "ERROR: " << problem << "\n" << kRegUsage;
  return kExitUsage;
}

// Bad input in otherwise well-formed arguments: the problem alone, without the whole usage.
int BadInput(std::ostream& err, const std::string& problem) {
  err << "ERROR: " << problem << "\n(see 'ovuictl reg --help')\n";
  return kExitUsage;
}

int Failed(std::ostream& err, uint32_t code) {
  err << "ERROR: " << RegErrorText(code) << "\n";
  return kExitFailed;
}

bool ParseKeyArgument(const std::string& text, RegKeyName* key, std::ostream& err) {
  std::string problem;
  if (ParseKeyName(text, key, &problem)) return true;
  BadInput(err, problem);
  return false;
}

// Names compare as the registry compares them: ASCII letters in either case.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

// The key's full name with the letter case the registry keeps.
std::string StoredKeyName(const RegKeyName& name, HKEY key) {
  std::string path;
  if (RegQueryKeyPath(key, &path) != ERROR_SUCCESS) return FormatKeyName(name);
  if (name.root == RegRoot::ClassesRoot) {
    path = path.size() > kClassesPrefix.size() ? path.substr(kClassesPrefix.size() + 1) : "";
  }
  return FormatKeyName(RegKeyName{name.root, path});
}

int Query(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
  bool json = false;
  std::erase_if(args, [&](const std::string& a) { return a == "--json" ? (json = true) : false; });
  if (args.empty() || args.size() > 2) return Usage(err, "reg query takes <KEY> [<value>]");
  RegKeyName name;
  if (!ParseKeyArgument(args[0], &name, err)) return kExitUsage;
  RegKey key;
  if (uint32_t code = key.open(RootHandle(name.root), name.path, KEY_READ)) {
    return Failed(err, code);
  }
  std::vector<RegValue> values;
  if (uint32_t code = RegListValues(key.get(), &values)) return Failed(err, code);
  if (args.size() == 2) {
    // Found through the list so that the name shows as stored, not as typed.
    std::erase_if(values, [&](const RegValue& v) { return !SameName(v.name, args[1]); });
    if (values.empty()) return Failed(err, ERROR_FILE_NOT_FOUND);
  }
  std::vector<std::string> subKeys;
  if (uint32_t code = RegListSubKeys(key.get(), &subKeys)) return Failed(err, code);
  const std::string fullName = StoredKeyName(name, key.get());

  if (json) {
    out << "{\n  \"key\": " << JsonString(fullName) << ",\n  \"values\": [";
    for (size_t i = 0; i < values.size(); ++i) {
      const RegValue& v = values[i];
      out << (i ? ",\n" : "\n") << "    {\"name\": " << JsonString(v.name)
          << ", \"type\": " << JsonString(TypeName(v.type))
          << ", \"data\": " << JsonValueData(v.type, v.data) << "}";
    }
    out << (values.empty() ? "],\n" : "\n  ],\n") << "  \"subkeys\": [";
    for (size_t i = 0; i < subKeys.size(); ++i) out << (i ? ", " : "") << JsonString(subKeys[i]);
    out << "]\n}\n";
    return kExitOk;
  }
  out << fullName << "\n";
  for (const RegValue& v : values) {
    out << "    " << (v.name.empty() ? "(Default)" : v.name) << "    " << TypeName(v.type)
        << "    " << FormatValueData(v.type, v.data) << "\n";
  }
  if (args.size() == 1) {
    out << "\n";
    for (const std::string& sub : subKeys) out << fullName << "\\" << sub << "\n";
  }
  return kExitOk;
}

int Set(const std::vector<std::string>& args, std::ostream& err) {
  if (args.size() < 4) return Usage(err, "reg set takes <KEY> <value> <type> <data>");
  RegKeyName name;
  if (!ParseKeyArgument(args[0], &name, err)) return kExitUsage;
  uint32_t type = REG_NONE;
  if (!ParseTypeName(args[2], &type) || type == REG_NONE) {
    return BadInput(err, "unknown value type \"" + args[2] + "\"");
  }
  std::string data, problem;
  if (!ParseValueData(type, std::vector<std::string>(args.begin() + 3, args.end()), &data,
                      &problem)) {
    return BadInput(err, problem);
  }
  if (uint32_t code = RegWriteValue(RootHandle(name.root), name.path, args[1], type, data)) {
    return Failed(err, code);
  }
  return kExitOk;
}

int Delete(const std::vector<std::string>& args, std::ostream& err) {
  if (args.empty() || args.size() > 2) return Usage(err, "reg delete takes <KEY> [<value>]");
  RegKeyName name;
  if (!ParseKeyArgument(args[0], &name, err)) return kExitUsage;
  if (args.size() == 2) {
    RegKey key;
    uint32_t code = key.open(RootHandle(name.root), name.path, KEY_SET_VALUE);
    if (code == ERROR_SUCCESS) code = RegDeleteValue(key.get(), args[1].c_str());
    return code ? Failed(err, code) : kExitOk;
  }
  if (name.path.empty()) return BadInput(err, "a hive's top key cannot be deleted");
  if (uint32_t code = SHDeleteKey(RootHandle(name.root), name.path.c_str())) {
    return Failed(err, code);
  }
  return kExitOk;
}

// Replaces `file` as a whole: a reader never sees half an export.
bool WriteFileAtomically(const std::string& file, const std::string& text, std::string* problem) {
  std::string temp = file + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    *problem = "cannot write " + file;
    return false;
  }
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  const bool ok = done == text.size() && fsync(fd) == 0;
  close(fd);
  if (!ok || rename(temp.c_str(), file.c_str()) != 0) {
    unlink(temp.c_str());
    *problem = "cannot write " + file;
    return false;
  }
  return true;
}

int Export(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) return Usage(err, "reg export takes <KEY> <file>");
  RegKeyName name;
  if (!ParseKeyArgument(args[0], &name, err)) return kExitUsage;
  RegFile file;
  if (uint32_t code = ExportKey(name, &file)) return Failed(err, code);
  std::string text, problem;
  if (!FormatRegFile(file, &text, &problem)) {
    err << "ERROR: " << problem << "\n";
    return kExitFailed;
  }
  if (args[1] == "-") {
    out << text;
    return kExitOk;
  }
  if (!WriteFileAtomically(args[1], text, &problem)) {
    err << "ERROR: " << problem << "\n";
    return kExitFailed;
  }
  return kExitOk;
}

int Import(const std::vector<std::string>& args, std::ostream& err) {
  if (args.size() != 1) return Usage(err, "reg import takes <file>");
  std::ifstream in(args[0], std::ios::binary);
  if (!in) {
    err << "ERROR: cannot read " << args[0] << "\n";
    return kExitFailed;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  // Everything is read and checked before anything is written.
  RegFile file;
  RegFileError problem;
  if (!ParseRegFile(bytes, &file, &problem)) {
    err << "ERROR: " << args[0];
    if (problem.line > 0) err << ":" << problem.line;
    err << ": " << problem.message << "; nothing was imported\n";
    return kExitUsage;
  }
  std::set<RegRoot> roots;
  for (const RegFileKey& key : file.keys) roots.insert(key.key.root);
  for (RegRoot root : roots) {
    HKEY probe = nullptr;
    const uint32_t code = RegOpenKeyEx(RootHandle(root), nullptr, 0, KEY_WRITE, &probe);
    if (code == ERROR_SUCCESS) RegCloseKey(probe);
    if (code == ERROR_ACCESS_DENIED) {
      err << "ERROR: cannot write " << RootName(root) << ": " << RegErrorText(code)
          << "; nothing was imported\n";
      return kExitFailed;
    }
  }

  ImportReport report;
  if (uint32_t code = ApplyRegFile(file, &report)) {
    err << "ERROR: " << args[0] << ":" << report.failedLine << ": " << RegErrorText(code) << "; "
        << report.applied << " of " << report.total
        << " changes were applied before this line, none after it\n";
    return kExitFailed;
  }
  return kExitOk;
}

uint32_t ExportTree(const RegKeyName& name, HKEY key, RegFile* file, int depth) {
  // Far deeper than any real tree; stops a runaway walk.
  if (depth > 512) return ERROR_BADKEY;
  RegFileKey entry;
  entry.key = name;
  std::vector<RegValue> values;
  if (uint32_t code = RegListValues(key, &values)) return code;
  for (RegValue& v : values) {
    entry.values.push_back(RegFileValue{v.name, false, v.type, std::move(v.data), 0});
  }
  file->keys.push_back(std::move(entry));
  std::vector<std::string> subKeys;
  if (uint32_t code = RegListSubKeys(key, &subKeys)) return code;
  for (const std::string& sub : subKeys) {
    RegKey child;
    uint32_t code = child.open(key, sub, KEY_READ);
    if (code == ERROR_FILE_NOT_FOUND) continue;  // deleted by someone else meanwhile
    if (code) return code;
    RegKeyName childName{name.root, name.path.empty() ? sub : name.path + "\\" + sub};
    if (uint32_t e = ExportTree(childName, child.get(), file, depth + 1)) return e;
  }
  return ERROR_SUCCESS;
}

}  // namespace

std::string RegErrorText(uint32_t code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      return "The system was unable to find the specified registry key or value.";
    case ERROR_ACCESS_DENIED: return "Access is denied.";
    case ERROR_INVALID_PARAMETER: return "The parameter is incorrect.";
    case ERROR_SHARING_VIOLATION: return "The registry is busy in another process; try again.";
    case ERROR_BADDB: return "The configuration registry database is corrupt.";
    case ERROR_KEY_DELETED: return "The key was deleted meanwhile.";
    default: return "Registry error " + std::to_string(code) + ".";
  }
}

uint32_t ExportKey(const RegKeyName& name, RegFile* file) {
  file->keys.clear();
  RegKey key;
  if (uint32_t code = key.open(RootHandle(name.root), name.path, KEY_READ)) return code;
  std::string stored;
  if (uint32_t code = RegQueryKeyPath(key.get(), &stored)) return code;
  if (name.root == RegRoot::ClassesRoot) {
    stored = stored.size() > kClassesPrefix.size() ? stored.substr(kClassesPrefix.size() + 1) : "";
  }
  return ExportTree(RegKeyName{name.root, stored}, key.get(), file, 0);
}

uint32_t ApplyRegFile(const RegFile& file, ImportReport* report) {
  *report = ImportReport{};
  for (const RegFileKey& key : file.keys) report->total += 1 + key.values.size();
  auto fail = [&](int line, uint32_t code) {
    report->failedLine = line;
    report->failedCode = code;
    return code;
  };
  for (const RegFileKey& entry : file.keys) {
    const HKEY root = RootHandle(entry.key.root);
    if (entry.remove) {
      const uint32_t code = SHDeleteKey(root, entry.key.path.c_str());
      if (code != ERROR_SUCCESS && code != ERROR_FILE_NOT_FOUND) return fail(entry.line, code);
      ++report->applied;
      continue;
    }
    RegKey key;
    if (uint32_t code = key.create(root, entry.key.path, KEY_ALL_ACCESS)) {
      return fail(entry.line, code);
    }
    ++report->applied;
    for (const RegFileValue& value : entry.values) {
      uint32_t code;
      if (value.remove) {
        code = RegDeleteValue(key.get(), value.name.c_str());
        if (code == ERROR_FILE_NOT_FOUND) code = ERROR_SUCCESS;
      } else {
        code = RegSetValueEx(key.get(), value.name.c_str(), 0, value.type,
                             reinterpret_cast<const uint8_t*>(value.data.data()),
                             static_cast<uint32_t>(value.data.size()));
      }
      if (code) return fail(value.line, code);
      ++report->applied;
    }
  }
  return ERROR_SUCCESS;
}

int RunRegCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return Usage(err, "reg needs a subcommand");
  const std::string& verb = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (verb == "query") return Query(rest, out, err);
  if (verb == "set") return Set(rest, err);
  if (verb == "delete") return Delete(rest, err);
  if (verb == "export") return Export(rest, out, err);
  if (verb == "import") return Import(rest, err);
  if (verb == "--help" || verb == "help") {
    out << kRegUsage;
    return kExitOk;
  }
  return Usage(err, "unknown reg subcommand \"" + verb + "\"");
}

}  // namespace ov::cli
