#include "cli/connect_command.h"

#include <cstdio>
#include <iostream>
#include <optional>

#include "cli/adapter_session.h"
#include "cli/cli.h"
#include "cli/connect_record.h"
#include "cli/secret_input.h"
#include "cli/survey_rows.h"
#include "driver/oid/bssid_list.h"
#include "driver/params/adapter_params.h"
#include "platform/system/hex_text.h"
#include "platform/system/mac_address.h"
#include "profilepages/certificate_store.h"

namespace ov::cli {

namespace {

constexpr const char* kUsage =
    "usage: ovuictl connect [--json] [--identity USER]\n"
    "                       [--eap peap|peap-gtc|peap-tls|tls|leap|fast] [--certificate SHA1|NAME]\n"
    "                       [--outer-identity NAME] [--hidden [--bssid MAC]] [--data-dir DIR] SSID\n"
    "Connects to the network SSID as the site survey's Connect does: scans, takes the strongest\n"
    "network with exactly that SSID and the security the scan reports, resets the active\n"
    "configuration and waits for the wireless service's answer (exit status 1 when it fails).\n"
    "--hidden: when no network shows the SSID, the strongest network that hides its name (or the\n"
    "one with --bssid) is joined under it. Ad hoc WPA-None cells take a passphrase.\n"
    "802.1X networks need --identity; --eap chooses the method: PEAP with MS-CHAP v2 (default),\n"
    "PEAP with a static GTC password (peap-gtc) or LEAP with a password; EAP-TLS or PEAP with an\n"
    "inner EAP-TLS (peap-tls) with a certificate of the personal certificate folder named by its\n"
    "SHA-1 or its issued-to name (--certificate); EAP-FAST (fast) with the settings the EAP\n"
    "settings dialog gives by default (unauthenticated provisioning) and the outer identity\n"
    "--outer-identity (default \"anonymous\"), without a password; --identity is optional there.\n"
    "EAP-TTLS and MD5-Challenge are refused: the wireless service takes no such profile.\n"
    "A WEP key, passphrase or 802.1X password is asked for on the terminal without echo, or read\n"
    "as the first line of standard input when that is not a terminal; it is never taken from\n"
    "the command line.\n";

constexpr auto kScanWait = std::chrono::seconds(20);
// Six octets of two hexadecimal digits, separated by ':' or '-' (or not at all).
std::optional<MacAddress> ParseBssid(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c != ':' && c != '-') digits.push_back(c);
  }
  auto bytes = HexDecode(digits);
  if (!bytes || bytes->size() != 6) return std::nullopt;
  MacAddress mac{};
  std::copy(bytes->begin(), bytes->end(), mac.begin());
  return mac;
}

// The certificate of the personal folder with this SHA-1 (hexadecimal, ':' allowed, any case)
// or this issued-to name.
std::optional<std::vector<uint8_t>> FindClientCertificate(std::string_view wanted) {
  std::string digits;
  for (char c : wanted) {
    if (c != ':') digits.push_back(c);
  }
  const std::optional<std::vector<uint8_t>> hash = HexDecode(digits);
  for (const CertDesc& cert : EnumerateCertFolder(PersonalCertFolder(), kStorePersonal, IsoDate)) {
    if ((hash && cert.hash == *hash) || cert.issuedTo == wanted) return cert.hash;
  }
  return std::nullopt;
}

// --eap's value: a method offered, or the sentence that refuses it.
std::optional<EapChoice> ParseEapOption(std::string_view text, std::string* problem) {
  if (const std::optional<EapChoice> choice = ParseEapChoice(text)) return choice;
  const std::optional<std::string> refusal = RefusedEapMethod(text);
  *problem = refusal ? "--eap " + std::string(text) + ": " + *refusal
                     : "--eap is peap, peap-gtc, peap-tls, tls, leap or fast";
  return std::nullopt;
}

// The 802.1X account of `eap` into `secrets`: the identity (optional for EAP-FAST, whose
// server knows the outer identity only), the certificate of the personal folder for the TLS
// methods, EAP-FAST's outer identity. False, with `problem` set, when one is missing.
bool Put8021XAccount(EapChoice eap, const std::optional<std::string>& identity,
                     const std::optional<std::string>& certificate,
                     const std::optional<std::string>& outerIdentity, ConnectSecrets& secrets,
                     std::string* problem) {
  if (!identity && eap != EapChoice::Fast) {
    *problem = "an 802.1X network needs --identity";
    return false;
  }
  secrets.identity = identity.value_or("");
  secrets.outerIdentity = outerIdentity.value_or("");
  if (!EapUsesCertificate(eap)) return true;
  const char* method = eap == EapChoice::PeapTls ? "PEAP-TLS" : "EAP-TLS";
  const auto hash = certificate ? FindClientCertificate(*certificate) : std::nullopt;
  if (!hash) {
    *problem = certificate ? "no certificate of the personal folder (" + PersonalCertFolder() +
                                 ") is \"" + *certificate + "\""
                           : std::string(method) + " needs --certificate";
    return false;
  }
  secrets.clientCertHash = *hash;
  return true;
}

const char* SecretName(SecretKind kind) {
  switch (kind) {
    case SecretKind::WepKey: return "WEP key";
    case SecretKind::Passphrase: return "Passphrase";
    case SecretKind::Password: return "Password";
    default: return "";
  }
}

const char* ResultName(ConnectionResult result) {
  switch (result) {
    case ConnectionResult::Connected: return "connected";
    case ConnectionResult::ConnectFailed: return "connect-failed";
    case ConnectionResult::AttemptFailed: return "attempt-failed";
    case ConnectionResult::Refused: return "refused";
    case ConnectionResult::NothingToConnect: return "nothing-to-connect";
    case ConnectionResult::TimedOut: return "timed-out";
  }
  return "unknown";
}

struct Report {
  std::string ssid;
  std::string bssid;
  std::string security;  // the scan's "auth;cipher"
  std::optional<ConnectionOutcome> outcome;
  std::string error;  // a failure before the connection was asked for
};

void PrintJson(const Report& r, std::ostream& out) {
  out << "{\n  \"ssid\": " << Json(r.ssid) << ",\n  \"bssid\": "
      << (r.bssid.empty() ? std::string("null") : Json(r.bssid)) << ",\n  \"security\": "
      << (r.bssid.empty() ? std::string("null")
                          : Json(r.security));
  const bool connected = r.outcome && r.outcome->result == ConnectionResult::Connected;
  out << ",\n  \"connected\": " << (connected ? "true" : "false");
  out << ",\n  \"result\": " << Json(r.outcome ? ResultName(r.outcome->result) : "error");
  out << ",\n  \"reason\": ";
  if (r.outcome && r.outcome->reasonCode) {
    out << *r.outcome->reasonCode;
  } else {
    out << "null";
  }
  const std::string message =
      r.outcome ? DescribeOutcome(*r.outcome, kConnectionWait) : r.error;
  out << ",\n  \"message\": " << Json(message) << "\n}\n";
}

int Finish(const Report& r, bool json, std::ostream& out, std::ostream& err) {
  const bool connected = r.outcome && r.outcome->result == ConnectionResult::Connected;
  if (json) {
    PrintJson(r, out);
  } else if (connected) {
    out << "Connected to \"" << PrintableText(r.ssid, false) << "\" (" << r.bssid << ", "
        << r.security << ")\n";
  } else {
    err << "ERROR: \"" << PrintableText(r.ssid, false) << "\": "
        << (r.outcome ? DescribeOutcome(*r.outcome, kConnectionWait) : r.error) << "\n";
  }
  return connected ? kExitOk : kExitFailed;
}

}  // namespace

int RunConnectCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return RunConnectCommandWithInput(args, out, err, nullptr);
}

int RunConnectCommandWithInput(const std::vector<std::string>& args, std::ostream& out,
                               std::ostream& err, std::istream* in) {
  bool json = false;
  bool hidden = false;
  std::optional<std::string> identity;
  std::optional<std::string> dataDir;
  std::optional<std::string> certificate;
  std::optional<std::string> outerIdentity;
  std::optional<MacAddress> bssid;
  EapChoice eap = EapChoice::Peap;
  std::vector<std::string> words;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      out << kUsage;
      return kExitOk;
    } else if (arg == "--json") {
      json = true;
    } else if (arg == "--identity") {
      if (i + 1 >= args.size()) return UsageError(err, "--identity needs a value", kUsage);
      identity = args[++i];
    } else if (arg == "--hidden") {
      hidden = true;
    } else if (arg == "--bssid") {
      if (i + 1 >= args.size()) return UsageError(err, "--bssid needs a value", kUsage);
      bssid = ParseBssid(args[++i]);
      if (!bssid) return UsageError(err, "a BSSID is six hexadecimal octets", kUsage);
    } else if (arg == "--eap") {
      if (i + 1 >= args.size()) return UsageError(err, "--eap needs a value", kUsage);
      std::string problem;
      const std::optional<EapChoice> choice = ParseEapOption(args[++i], &problem);
      if (!choice) return UsageError(err, problem, kUsage);
      eap = *choice;
    } else if (arg == "--outer-identity") {
      if (i + 1 >= args.size()) return UsageError(err, "--outer-identity needs a value", kUsage);
      outerIdentity = args[++i];
    } else if (arg == "--certificate") {
      if (i + 1 >= args.size()) return UsageError(err, "--certificate needs a value", kUsage);
      certificate = args[++i];
    } else if (arg == "--data-dir") {
      if (i + 1 >= args.size()) return UsageError(err, "--data-dir needs a value", kUsage);
      dataDir = args[++i];
    } else if (arg.rfind("--", 0) == 0) {
      return UsageError(err, "unknown option \"" + arg + "\" (secrets are never given as arguments)",
                        kUsage);
    } else {
      words.push_back(arg);
    }
  }
  if (words.size() != 1) return UsageError(err, "give exactly one SSID", kUsage);
  if (bssid && !hidden) return UsageError(err, "--bssid chooses among hidden networks (--hidden)", kUsage);
  if (outerIdentity && eap != EapChoice::Fast) {
    return UsageError(err, "--outer-identity is EAP-FAST's (--eap fast)", kUsage);
  }
  Report report;
  report.ssid = words[0];
  if (report.ssid.empty() || report.ssid.size() > kSsidMaxLength) {
    return UsageError(err, "an SSID is 1 to 32 bytes", kUsage);
  }

  AdapterSession session{AdapterSessionOptions{}};
  if (!session.Discover()) {
    report.error = "no adapter found";
    return Finish(report, json, out, err);
  }
  const DataDirectory folder = ChosenDataDirectory(dataDir);
  std::string problem;
  if (!session.SetUp(folder.path, folder.shared, &problem)) {
    report.error = problem;
    return Finish(report, json, out, err);
  }
  if (!session.RadioOn()) {
    report.error = "the radio is switched off";
    return Finish(report, json, out, err);
  }
  std::vector<uint8_t> list;
  if (!session.ScanAndWait(list, kScanWait, &problem)) {
    report.error = problem;
    return Finish(report, json, out, err);
  }
  std::optional<std::span<const uint8_t>> entry = FindNetwork(list, report.ssid);
  if (!entry && hidden) entry = FindHiddenNetwork(list, bssid);
  const std::optional<survey::ChosenNetwork> network =
      entry ? survey::DescribeNetwork(*entry) : std::nullopt;
  if (!network) {
    report.error = hidden ? "neither a network with this SSID nor a hidden one is in range"
                          : "no network with this SSID is in range";
    return Finish(report, json, out, err);
  }
  report.bssid = FormatMacAddress(network->bssid);
  report.security = network->authText + ";" + network->cipherText;
  // A network that hides its name is joined under the name given.
  const std::optional<std::string> hiddenSsid =
      network->ssid.empty() ? std::optional<std::string>(report.ssid) : std::nullopt;

  const SecretKind kind = SecretNeeded(*network, eap);
  const bool is8021x = network->securityClass == 1 || network->securityClass == 4;
  ConnectSecrets secrets;
  secrets.eap = eap;
  if (is8021x) {
    std::string why;
    if (!Put8021XAccount(eap, identity, certificate, outerIdentity, secrets, &why)) {
      report.error = why;
      return Finish(report, json, out, err);
    }
  }
  if (kind == SecretKind::WepKey || kind == SecretKind::Passphrase || kind == SecretKind::Password) {
    const std::string prompt = std::string(SecretName(kind)) + " for \"" +
                               PrintableText(report.ssid, false) + "\": ";
    std::optional<std::string> secret = ReadSecret(prompt, in, err);
    if (!secret) {
      report.error = std::string("no ") + SecretName(kind) + " was given (or it was too long)";
      return Finish(report, json, out, err);
    }
    secrets.secret = std::move(*secret);
  }
  const int32_t psMode = ReadDecimalParamOr(session.Adapter().adapterKeyPath, param::kPsMode);
  std::optional<StationProfile> record = BuildConnectRecord(
      *network, hiddenSsid, secrets, static_cast<uint32_t>(std::max(psMode, 0)), &problem);
  if (!record) {
    report.error = problem;
    return Finish(report, json, out, err);
  }

  // As the survey's Connect: no stored profile is in use from now on.
  session.Store().ResetActiveConfig();
  ActionQueue& queue = session.Queue();
  queue.activation().StationProfileInUse = 0;
  if (queue.QueueAction(kActionApplyProfile, std::make_unique<StationProfile>(std::move(*record)))) {
    queue.ActionExec();
  }
  report.outcome = session.WaitForConnection(kConnectionWait);
  return Finish(report, json, out, err);
}

}  // namespace ov::cli
