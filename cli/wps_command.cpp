#include "cli/wps_command.h"

#include <optional>
#include <ostream>

#include "cli/adapter_session.h"
#include "cli/cli.h"
#include "cli/survey_rows.h"
#include "cli/wps_run_command.h"
#include "driver/discovery/device_id_table.h"
#include "driver/ndis_types.h"
#include "profiles/data_directory.h"
#include "wps/wps_store.h"

namespace ov::cli {

namespace {

constexpr const char* kUsage =
    "usage: ovuictl wps [--data-dir DIR] <action>\n"
    "actions:\n"
    "  list        the stored WPS credentials, numbered from 0\n"
    "  apply [N]   apply credential N (default 0) as the utility applies a WPS credential and\n"
    "              wait for the connection (exit status 1 when it fails)\n"
    "  pbc [BSSID] a push-button run (BSSID: the access point must offer it), showing its\n"
    "              progress; the credential it brings is stored and applied\n"
    "  pin [PIN] [BSSID]\n"
    "              a PIN run with PIN (default: the stored PIN, or a new one) at BSSID\n"
    "              (default: the first WPS access point that does not ask for a push button);\n"
    "              as enrollee or registrar as the WPS settings say\n"
    "The adapter is found as the utility finds it. Without --data-dir the data folder is chosen\n"
    "by the 'setting' file of the program folder (default: <root>/var/lib/Orvane/).\n";

int Usage(std::ostream& err, const std::string& problem) { return UsageError(err, problem, kUsage); }

std::string AuthTypeText(uint32_t type) {
  switch (type) {
    case WPS_AUTH_OPEN: return "Open";
    case WPS_AUTH_WPAPSK: return "WPA-PSK";
    case WPS_AUTH_SHARED: return "Shared";
    case WPS_AUTH_WPA: return "WPA";
    case WPS_AUTH_WPA2: return "WPA2";
    case WPS_AUTH_WPA2PSK: return "WPA2-PSK";
    case WPS_AUTH_WPAPSK | WPS_AUTH_WPA2PSK: return "WPA-PSK/WPA2-PSK";
    default: return "authentication " + std::to_string(type);
  }
}

std::string EncryTypeText(uint32_t type) {
  switch (type) {
    case WPS_ENCR_NONE: return "None";
    case WPS_ENCR_WEP: return "WEP";
    case WPS_ENCR_TKIP: return "TKIP";
    case WPS_ENCR_AES: return "AES";
    case WPS_ENCR_TKIP | WPS_ENCR_AES: return "TKIP/AES";
    default: return "encryption " + std::to_string(type);
  }
}

std::string CredentialSsid(const WpsCredential& credential) {
  const size_t length = std::min<size_t>(credential.SsidLength, credential.Ssid.size());
  return std::string(credential.Ssid.begin(), credential.Ssid.begin() + length);
}


// Secrets are not listed: the key shows only its length.
int List(const AdapterInfo& adapter, const DataDirectory& dataDir, std::ostream& out) {
  OvEncryptSecretCodec codec;
  ProfileStore store(StoreLocation{dataDir.path, adapter.chipFamily, adapter.netCfgInstanceId},
                     &codec, EncryptPasswordsSetting());
  WpsStoreState state;
  LoadWpsStore(store, &codec, state);
  ClampWpsCredentialTable(state.Table);
  out << "WPS credential in use: " << (state.WpsProfileInUse == 1 ? "yes" : "no") << "\n";
  for (uint32_t n = 0; n < state.Table.Count; ++n) {
    const WpsCredential& c = state.Table.Credentials[n];
    out << n << "  " << PrintableText(CredentialSsid(c), false) << "  " << AuthTypeText(c.AuthType)
        << " / " << EncryTypeText(c.EncryType) << "  key index " << c.KeyIndex << ", "
        << c.KeyLength << " characters  " << MacText(c.MacAddr) << "\n";
  }
  out << state.Table.Count << (state.Table.Count == 1 ? " credential\n" : " credentials\n");
  return kExitOk;
}

int Apply(AdapterSession& session, const DataDirectory& dataDir, uint32_t index,
          std::ostream& out, std::ostream& err) {
  std::string problem;
  if (!session.SetUp(dataDir.path, dataDir.shared, &problem)) {
    err << "ERROR: " << problem << "\n";
    return kExitFailed;
  }
  ActionQueue& queue = session.Queue();
  LoadWpsStore(session.Store(), &session.Codec(), queue.wps());
  ClampWpsCredentialTable(queue.wps().Table);
  const uint32_t count = queue.wps().Table.Count;
  if (index >= count) {
    err << "ERROR: no WPS credential " << index << " (the store holds " << count << ")\n";
    return kExitFailed;
  }
  if (!session.RadioOn()) {
    err << "ERROR: the radio is switched off; WPS credential " << index << " was not applied\n";
    return kExitFailed;
  }
  const std::string ssid = CredentialSsid(queue.wps().Table.Credentials[index]);
  // This credential alone: no cycling to the next one when it does not connect.
  queue.activation().AppliedCredentialIndex = index;
  queue.activation().CredentialCycling = false;
  queue.ApplyWpsCredential();
  MarkWpsUse(session.Store(), queue.wps());

  const ConnectionOutcome outcome = session.WaitForConnection(kConnectionWait);
  if (outcome.result == ConnectionResult::Connected) {
    out << "Applied WPS credential " << index << ": connected to \""
        << PrintableText(ssid, false) << "\"\n";
    return kExitOk;
  }
  err << "ERROR: WPS credential " << index << " (SSID \"" << PrintableText(ssid, false)
      << "\") did not connect: " << DescribeOutcome(outcome, kConnectionWait) << "\n";
  return kExitFailed;
}

// "02:5A:0F:10:00:0D" or with '-' between the bytes.
std::optional<MacAddress> ParseBssid(const std::string& text) {
  if (text.size() != 17) return std::nullopt;
  std::string hex;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i % 3 == 2) {
      if (text[i] != ':' && text[i] != '-') return std::nullopt;
    } else {
      hex += text[i];
    }
  }
  return ParseWpsMacAddress(hex);
}

std::optional<uint32_t> ParseIndex(const std::string& text) {
  if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  return static_cast<uint32_t>(std::stoul(text));
}

}  // namespace

int RunWpsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::optional<std::string> dataDirOption;
  std::vector<std::string> words;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      out << kUsage;
      return kExitOk;
    } else if (arg == "--data-dir") {
      if (i + 1 >= args.size()) return Usage(err, "--data-dir needs a value");
      dataDirOption = args[++i];
    } else if (arg.rfind("--", 0) == 0) {
      return Usage(err, "unknown option \"" + arg + "\"");
    } else {
      words.push_back(arg);
    }
  }
  if (words.empty()) return Usage(err, "no action given");
  std::optional<uint32_t> index;
  std::optional<WpsRunRequest> run;
  if (words[0] == "pbc" || words[0] == "pin") {
    run.emplace();
    run->pin = words[0] == "pin";
    for (size_t i = 1; i < words.size(); ++i) {
      const std::string& word = words[i];
      if (auto mac = ParseBssid(word); mac && !run->bssid) {
        run->bssid = *mac;
      } else if (run->pin && !run->pinText && !run->bssid && word.find_first_not_of("0123456789") == std::string::npos) {
        run->pinText = word;
      } else {
        return Usage(err, "\"" + word + "\" is no " + (run->pin ? "PIN or " : "") + "BSSID here");
      }
    }
  } else if (words[0] == "list") {
    if (words.size() != 1) return Usage(err, "list takes no argument");
  } else if (words[0] == "apply") {
    if (words.size() > 2) return Usage(err, "apply takes at most one credential number");
    index = words.size() == 2 ? ParseIndex(words[1]) : std::optional<uint32_t>(0);
    if (!index) return Usage(err, "\"" + words[1] + "\" is no credential number");
  } else {
    return Usage(err, "unknown action \"" + words[0] + "\"");
  }

  AdapterSession session(AdapterSessionOptions{});
  if (!session.Discover()) {
    err << "ERROR: no adapter found\n";
    return kExitFailed;
  }
  const DataDirectory dataDir = ChosenDataDirectory(dataDirOption);
  if (run) return RunWpsRun(session, dataDir, *run, out, err);
  if (!index) return List(session.Adapter(), dataDir, out);
  return Apply(session, dataDir, *index, out, err);
}

}  // namespace ov::cli
