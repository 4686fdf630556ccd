#include "services/registry_allow_list.h"

#include <string_view>
#include <vector>

#include "platform/registry/registry.h"
#include "platform/system/ascii_text.h"

namespace ov {

namespace {

enum class DataRule {
  Any,
  LogonLibrary,  // a text naming exactly our logon library, padded with NULs at most
  Dword,         // a 4-byte REG_DWORD
};

struct AllowRule {
  const char* name;
  std::vector<std::string_view> base;
  bool driverInstance;  // one four-digit driver-key name follows the base
  bool subtree;         // keys below the rule's key as well
  bool createKeys;
  bool deleteKeys;      // only strictly below the rule's key
  std::vector<std::string_view> values;  // empty: any value name
  DataRule data;
  bool needsProfilePolicy;
};

const std::vector<AllowRule>& Rules() {
  static const std::vector<AllowRule> rules = {
      {"adapter driver key",
       {"SYSTEM", "CurrentControlSet", "Control", "Class",
        "{4d36e972-e325-11ce-bfc1-08002be10318}"},
       true, true, true, true, {}, DataRule::Any, false},
      {"single sign-on key",
       {"Software", "Microsoft", "Windows NT", "CurrentVersion", "Winlogon", "Orvane"},
       false, true, true, true, {}, DataRule::Any, true},
      {"logon library value",
       {"Software", "Microsoft", "Windows NT", "CurrentVersion", "Winlogon"},
       false, false, false, false, {"GinaDLL"}, DataRule::LogonLibrary, true},
      {"TCP/IP parameters",
       {"SYSTEM", "CurrentControlSet", "Services", "Tcpip", "Parameters"},
       false, false, false, false,
       {"TCPWindowSize", "SackOpts", "TcpMaxDupAcks", "Tcp1323Opts"}, DataRule::Dword, false},
      {"WAPI key",
       {"SOFTWARE", "Classes", "CLSID", "{5B7E2C10-3D4A-4F61-9A2E-7C0D1E8B4F53}", "Wapi_auth"},
       false, true, true, true, {}, DataRule::Any, false},
  };
  return rules;
}

constexpr std::string_view kLogonLibrary = "OrvaneGina.DLL";

bool SameName(std::string_view a, std::string_view b) { return EqualsIgnoringAsciiCase(a, b); }

std::vector<std::string_view> Components(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    size_t end = path.find('\\', start);
    parts.push_back(path.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

bool IsDriverInstance(std::string_view name) {
  if (name.size() != 4) return false;
  for (char c : name) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Depth of the rule's own key when `key` lies at or below it; -1 otherwise.
int RuleKeyDepth(const AllowRule& rule, const std::vector<std::string_view>& key) {
  if (key.size() < rule.base.size()) return -1;
  for (size_t i = 0; i < rule.base.size(); ++i) {
    if (!SameName(key[i], rule.base[i])) return -1;
  }
  size_t depth = rule.base.size();
  if (rule.driverInstance) {
    if (key.size() <= depth || !IsDriverInstance(key[depth])) return -1;
    ++depth;
  }
  return static_cast<int>(depth);
}

bool DataAllowed(DataRule rule, const RegistryMessage& m) {
  switch (rule) {
    case DataRule::Any:
      return true;
    case DataRule::Dword:
      return m.valueType == REG_DWORD && m.data.size() == 4;
    case DataRule::LogonLibrary: {
      if (m.valueType != REG_SZ) return false;
      std::string_view d = m.data;
      if (d.size() < kLogonLibrary.size() || !SameName(d.substr(0, kLogonLibrary.size()), kLogonLibrary)) {
        return false;
      }
      return d.substr(kLogonLibrary.size()).find_first_not_of('\0') == std::string_view::npos;
    }
  }
  return false;
}

AllowDecision Refuse(std::string why) {
  AllowDecision d;
  d.explanation = std::move(why);
  return d;
}

}  // namespace

AllowDecision CheckAllowList(const RegistryMessage& m) {
  std::string machinePath;
  switch (m.hive) {
    case kHiveLocalMachine: machinePath = m.keyPath; break;
    case kHiveClassesRoot: machinePath = "SOFTWARE\\Classes\\" + m.keyPath; break;
    default: return Refuse("hive " + std::to_string(m.hive) + " is not served");
  }

  const bool deletesKey = m.op == RegistryOp::DeleteKey || m.op == RegistryOp::DeleteKeyTree;
  std::vector<std::string_view> target = Components(machinePath);
  if (deletesKey) target.push_back(m.name);

  for (const AllowRule& rule : Rules()) {
    const int depth = RuleKeyDepth(rule, target);
    if (depth < 0) continue;
    const bool atRuleKey = target.size() == static_cast<size_t>(depth);
    bool allowed = false;
    std::string why;
    switch (m.op) {
      case RegistryOp::SetValue:
      case RegistryOp::DeleteValue: {
        bool nameListed = rule.values.empty();
        for (auto v : rule.values) nameListed = nameListed || SameName(v, m.name);
        if (!atRuleKey && !rule.subtree) {
          why = "key below the " + std::string(rule.name);
        } else if (!nameListed) {
          why = "value not allowed in the " + std::string(rule.name);
        } else if (m.op == RegistryOp::SetValue && !DataAllowed(rule.data, m)) {
          why = "data not allowed for this value of the " + std::string(rule.name);
        } else {
          allowed = true;
        }
        break;
      }
      case RegistryOp::CreateKey:
        allowed = rule.createKeys && (atRuleKey || rule.subtree);
        if (!allowed) why = "keys are not created in the " + std::string(rule.name);
        break;
      case RegistryOp::DeleteKey:
      case RegistryOp::DeleteKeyTree:
        allowed = rule.deleteKeys && !atRuleKey;
        if (!allowed) why = "keys are deleted only below the " + std::string(rule.name);
        break;
    }
    if (!allowed) return Refuse(why);
    AllowDecision d;
    d.allowed = true;
    d.explanation = rule.name;
    d.needsProfilePolicy = rule.needsProfilePolicy;
    d.machineKeyPath = machinePath;
    return d;
  }
  return Refuse("outside the allowed keys");
}

}  // namespace ov
