#include "cli/reg_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/system/error_codes.h"
#include "platform/system/machine_root.h"
#include "platform/system/regular_file.h"

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

int Usage(std::ostream& err, const std::string& problem) { return UsageError(err, problem, kRegUsage); }

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
  if (args.size() == 2) {
    // One lookup, however many values the key holds; the name comes back as stored.
    RegValue value;
    if (uint32_t code = RegReadValue(key.get(), "", args[1], &value)) return Failed(err, code);
    values.push_back(std::move(value));
  } else if (uint32_t code = RegListValues(key.get(), &values)) {
    return Failed(err, code);
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

// Reads the file named on the command line: a regular file of at most kMaxRegFileBytes, read
// without blocking on a FIFO or a device and without reading more than the limit.
bool ReadRegFileBytes(const std::string& path, std::string* bytes, std::string* problem) {
  // As every reader of the tools: a link in a folder other users can write is not followed.
  const int fd = FolderOfFileOthersCanWrite(path)
                     ? open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW)
                     : open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    *problem = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  struct stat st {};
  bool ok = fstat(fd, &st) == 0;
  if (ok && !S_ISREG(st.st_mode)) {
    *problem = path + " is not a regular file";
    ok = false;
  } else if (ok && static_cast<uint64_t>(st.st_size) > kMaxRegFileBytes) {
    *problem = path + " is larger than " + std::to_string(kMaxRegFileBytes >> 20) +
               " MiB, more than a registry file holds";
    ok = false;
  }
  bytes->clear();
  char chunk[65536];
  while (ok) {
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n == 0) break;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *problem = "cannot read " + path + ": " + std::strerror(errno);
      ok = false;
    } else if (bytes->size() + static_cast<size_t>(n) > kMaxRegFileBytes) {
      *problem = path + " grew past " + std::to_string(kMaxRegFileBytes >> 20) +
                 " MiB while it was read";  // someone is still writing it
      ok = false;
    } else {
      bytes->append(chunk, static_cast<size_t>(n));
    }
  }
  close(fd);
  return ok;
}

int Import(const std::vector<std::string>& args, std::ostream& err) {
  if (args.size() != 1) return Usage(err, "reg import takes <file>");
  std::string bytes, unreadable;
  if (!ReadRegFileBytes(args[0], &bytes, &unreadable)) {
    err << "ERROR: " << unreadable << "; nothing was imported\n";
    return kExitFailed;
  }

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
    err << "ERROR: " << args[0] << ":" << report.failedLine << ": " << RegErrorText(code)
        << "; nothing was imported\n";
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
    case ERROR_PATH_NOT_FOUND: return "The system cannot find the path specified.";
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
  std::vector<RegChange> changes;
  std::vector<int> lines;
  for (const RegFileKey& entry : file.keys) {
    const HKEY root = RootHandle(entry.key.root);
    RegChange change;
    change.kind = entry.remove ? RegChange::Kind::DeleteTree : RegChange::Kind::CreateKey;
    change.root = root;
    change.path = entry.key.path;
    changes.push_back(change);
    lines.push_back(entry.line);
    if (entry.remove) continue;
    for (const RegFileValue& value : entry.values) {
      change.kind = value.remove ? RegChange::Kind::DeleteValue : RegChange::Kind::SetValue;
      change.name = value.name;
      change.type = value.type;
      change.data = value.data;
      changes.push_back(change);
      lines.push_back(value.line);
    }
  }
  report->total = changes.size();
  size_t failed = 0;
  if (uint32_t code = RegApplyChanges(changes, &failed)) {
    report->failedLine = failed < lines.size() ? lines[failed] : 0;
    report->failedCode = code;
    return code;
  }
  report->applied = changes.size();
  return ERROR_SUCCESS;
}

namespace {

int RunRegVerb(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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

}  // namespace

int RunRegCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return Usage(err, "reg needs a subcommand");
  if (args[0] != "--help" && args[0] != "help") {
    std::string problem;
    if (!MachineRootUsable(&problem)) {
      err << "ERROR: " << problem << "; set it to the machine's root folder, or unset it for /\n";
      return kExitFailed;
    }
  }
  // Nothing a registry command meets may end the program with an exception.
  try {
    return RunRegVerb(args, out, err);
  } catch (const std::bad_alloc&) {
    err << "ERROR: not enough memory\n";
  } catch (const std::exception& e) {
    err << "ERROR: " << e.what() << "\n";
  }
  return kExitFailed;
}

}  // namespace ov::cli
