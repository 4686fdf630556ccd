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
#include "platform/system/mac_address.h"

namespace ov::cli {

namespace {

constexpr const char* kUsage =
    "usage: ovuictl connect [--json] [--identity USER] [--data-dir DIR] SSID\n"
    "Connects to the network SSID as the site survey's Connect does: scans, takes the strongest\n"
    "network with exactly that SSID and the security the scan reports, resets the active\n"
    "configuration and waits for the wireless service's answer (exit status 1 when it fails).\n"
    "A WEP key, passphrase or 802.1X password is asked for on the terminal without echo, or read\n"
    "as the first line of standard input when that is not a terminal; it is never taken from\n"
    "the command line. 802.1X networks (PEAP with MS-CHAP v2) need --identity.\n";

constexpr auto kScanWait = std::chrono::seconds(20);
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
  NetworkSecurity security;
  std::optional<ConnectionOutcome> outcome;
  std::string error;  // a failure before the connection was asked for
};

void PrintJson(const Report& r, std::ostream& out) {
  out << "{\n  \"ssid\": " << Json(r.ssid) << ",\n  \"bssid\": "
      << (r.bssid.empty() ? std::string("null") : Json(r.bssid)) << ",\n  \"security\": "
      << (r.bssid.empty() ? std::string("null")
                          : Json(r.security.authText + ";" + r.security.cipherText));
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
        << r.security.authText << ";" << r.security.cipherText << ")\n";
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
  std::optional<std::string> identity;
  std::optional<std::string> dataDir;
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
  const std::optional<std::span<const uint8_t>> entry = FindNetwork(list, report.ssid);
  if (!entry) {
    report.error = "no network with this SSID is in range";
    return Finish(report, json, out, err);
  }
  NDIS_WLAN_BSSID_EX fixed;
  DecodeNdisWlanBssidEx(*entry, fixed);
  report.bssid = FormatMacAddress(fixed.MacAddress);
  report.security = ScanEntrySecurity(*entry);

  const SecretKind kind = SecretNeeded(report.security);
  ConnectSecrets secrets;
  if (kind == SecretKind::Password) {
    if (!identity) {
      report.error = "an 802.1X network needs --identity";
      return Finish(report, json, out, err);
    }
    secrets.identity = *identity;
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
      *entry, report.security, secrets, static_cast<uint32_t>(std::max(psMode, 0)), &problem);
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
