#include "cli/wps_run_command.h"

#include <chrono>
#include <ctime>
#include <ostream>
#include <random>

#include "cli/adapter_session.h"
#include "cli/cli.h"
#include "cli/survey_rows.h"
#include "driver/oid/oid_requests.h"
#include "wps/wps_pin.h"
#include "wps/wps_registrar.h"
#include "wps/wps_service_profiles.h"
#include "wps/wps_session_rules.h"
#include "wps/wps_status_text.h"
#include "wps/wps_store.h"
#include "wpspages/wps_ap_rows.h"

namespace ov::cli {

namespace {

constexpr auto kScanWait = std::chrono::milliseconds(20000);
constexpr auto kPollInterval = std::chrono::milliseconds(200);
// The driver ends a run by its walk time (two minutes); a little more for the last answers.
constexpr auto kRunLimit = std::chrono::milliseconds(130000);

// The PIN of the run: the one typed, else the stored one when it is valid, else a new one
// (stored so that the access point's user can be told it).
std::optional<uint32_t> ChoosePin(const WpsRunRequest& request, WpsStoreState& wps,
                                  std::ostream& err) {
  uint32_t pin = 0;
  if (request.pinText) {
    switch (CheckWpsPin(*request.pinText, &pin)) {
      case WpsPinCheck::Valid: return pin;
      case WpsPinCheck::WrongFormat: err << "ERROR: Invaild Pin Code (8 digits expected)\n"; break;
      case WpsPinCheck::ChecksumError: err << "ERROR: Pin Code error\n"; break;
    }
    return std::nullopt;
  }
  const std::string stored = FormatWpsPin(static_cast<uint32_t>(wps.Settings.PinCode));
  if (wps.Settings.PinCode > 0 && CheckWpsPin(stored, &pin) == WpsPinCheck::Valid) return pin;
  std::mt19937 random(static_cast<uint32_t>(std::time(nullptr)));
  return MakeWpsPin(uint8_t(random()), uint8_t(random()), uint8_t(random()));
}

}  // namespace

int RunWpsRun(AdapterSession& session, const DataDirectory& dataDir, const WpsRunRequest& request,
              std::ostream& out, std::ostream& err) {
  std::string problem;
  if (!session.SetUp(dataDir.path, dataDir.shared, &problem)) {
    err << "ERROR: " << problem << "\n";
    return kExitFailed;
  }
  if (!session.RadioOn()) {
    err << "ERROR: the radio is switched off\n";
    return kExitFailed;
  }
  ActionQueue& queue = session.Queue();
  WpsStoreState& wps = queue.wps();
  LoadWpsStore(session.Store(), &session.Codec(), wps);
  ClampWpsCredentialTable(wps.Table);
  const bool registrar = wps.Settings.ConfigMode == kWpsConfigRegistrar;
  const uint8_t role = registrar ? WPS_ROLE_REGISTRAR : WPS_ROLE_ENROLLEE;
  NativeWifiServiceProfiles serviceProfiles(session.Client());

  WpsStart start = MakePbcStart(role);
  std::string startText = "Start PBC connection";
  if (request.pin || request.bssid) {
    std::vector<uint8_t> scan;
    std::string scanError;
    if (!session.ScanAndWait(scan, kScanWait, &scanError)) {
      err << "ERROR: " << scanError << "\n";
      return kExitFailed;
    }
    const std::vector<WpsApRow> rows = WpsApRowsFromScan(scan);
    const WpsApRow* target = nullptr;
    if (request.bssid) {
      for (const WpsApRow& row : rows) {
        if (row.bssid == *request.bssid) target = &row;
      }
      if (!target) {
        err << "ERROR: no WPS access point " << MacText(*request.bssid) << " in the scan\n";
        return kExitFailed;
      }
      if (!request.pin && !target->pushButton) {
        err << "ERROR: " << MacText(*request.bssid) << " does not offer push-button setup ("
            << target->idText << ")\n";
        return kExitFailed;
      }
    } else {
      std::vector<std::string> ids;
      for (const WpsApRow& row : rows) ids.push_back(row.idText);
      const int next = NextAutoSelectRow(ids, -1);
      if (next < 0) {
        err << "ERROR: no WPS access point for a PIN in the scan\n";
        return kExitFailed;
      }
      target = &rows[static_cast<size_t>(next)];
    }
    if (request.pin) {
      const std::optional<uint32_t> pin = ChoosePin(request, wps, err);
      if (!pin) return kExitUsage;
      wps.Settings.PinCode = static_cast<int32_t>(*pin);
      out << "PIN " << FormatWpsPin(*pin) << "\n";
      start = MakePinStart(*target, *pin, role);
      startText = "Start PIN connection - " + PrintableText(target->ssid, false);
    }
  }

  // As the page starts a run: off the air, the band, then the credentials to hand over.
  session.Client().Disconnect();
  OidChannel& driver = session.Driver();
  SetWpsWirelessMode(driver, static_cast<uint32_t>(wps.Settings.WirelessMode));
  bool replace = false;
  if (!registrar) {
    wps.Table = WpsCredentialTable{};
    wps.PeerAddress = MacAddress{};
    replace = true;
  } else if (request.pin && wps.Table.Count > 0) {
    PrepareRegistrarPinCredential(wps.Table.Credentials[0]);
  }
  SaveWpsStore(session.Store(), &session.Codec(), wps, replace, &serviceProfiles);
  out << startText << "\n";
  if (request.pin) SetWpsAutoSelect(driver, 0);
  if (!SetWpsStart(driver, start) || !SetWpsProfileTable(driver, wps.Table) ||
      !SetWpsAssocIe(driver, 1) || !SetWpsProbeIe(driver, 1)) {
    err << "ERROR: the driver refused the WPS start\n";
    return kExitFailed;
  }

  const auto deadline = std::chrono::steady_clock::now() + kRunLimit;
  std::string shown;
  WpsStatusView view;
  for (;;) {
    session.Pause(kPollInterval);
    WpsStatus status;
    if (!QueryWpsStatus(driver, status)) continue;
    view = DescribeWpsStatusWord(EncodeWpsStatus(status));
    if (view.text != shown) {
      shown = view.text;
      out << shown;
      if (view.progress) out << "  (" << *view.progress << " %)";
      out << "\n";
    }
    if (view.success || view.failure || view.stopsPolling) break;
    if (std::chrono::steady_clock::now() > deadline) {
      err << "ERROR: the WPS run did not end within " << kRunLimit.count() / 1000 << " seconds\n";
      return kExitFailed;
    }
  }
  if (!view.success) {
    const std::string_view text = WpsStatusCodeText(view.code);
    err << "ERROR: the WPS run ended without credentials: status " << view.code;
    if (!text.empty()) err << " (" << text << ")";
    if (view.code == wps_status::kWalkTimeExpired) err << " (the walk time ran out)";
    err << "\n";
    return kExitFailed;
  }

  WpsCredentialTable table;
  uint32_t channel = 0;
  if (!QueryWpsProfileTable(driver, table) || table.Count == 0) {
    err << "ERROR: the driver gave no credentials after the run\n";
    return kExitFailed;
  }
  TakeDriverCredentialTable(wps, table);
  if (QueryWpsChannel(driver, channel)) wps.Settings.Channel = static_cast<int32_t>(channel);
  wps.WpsProfileInUse = 1;
  SaveWpsStore(session.Store(), &session.Codec(), wps, true, &serviceProfiles);
  MarkWpsUse(session.Store(), wps);
  const std::string ssid(WpsCredentialSsid(wps.Table.Credentials[0]));
  queue.activation().AppliedCredentialIndex = 0;
  queue.activation().CredentialCycling = false;
  queue.ApplyWpsCredential();
  const ConnectionOutcome outcome = session.WaitForConnection(kConnectionWait);
  if (outcome.result == ConnectionResult::Connected) {
    out << "Connected to \"" << PrintableText(ssid, false) << "\" with the WPS credential\n";
    return kExitOk;
  }
  err << "ERROR: the WPS credential for \"" << PrintableText(ssid, false)
      << "\" did not connect: " << DescribeOutcome(outcome, kConnectionWait) << "\n";
  return kExitFailed;
}

}  // namespace ov::cli
