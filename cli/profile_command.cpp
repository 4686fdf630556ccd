#include "cli/profile_command.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <ostream>

#include "cli/adapter_session.h"
#include "cli/cli.h"
#include "cli/survey_rows.h"
#include "driver/chip_family.h"
#include "driver/discovery/device_id_table.h"
#include "nativewifi/wlan_profile_xml.h"
#include "platform/system/ascii_text.h"
#include "profiles/data_directory.h"
#include "profiles/load_active_profile.h"
#include "profiles/ov_encrypt_codec.h"
#include "profiles/profile_store.h"
#include "profilepages/profile_list_rules.h"
#include "wps/wps_store.h"

namespace ov::cli {

namespace {

constexpr const char* kUsage =
    "usage: ovuictl profile [--adapter-id {GUID} --family N|NAME] [--data-dir DIR] <action>\n"
    "actions:\n"
    "  list                     the stored profiles, the active one marked\n"
    "  show NAME [--show-secrets]  every key of a profile (secrets hidden unless asked)\n"
    "  export NAME FILE         write the profile into an export file\n"
    "  import FILE              add the profile of an export file\n"
    "  xml NAME                 the WLAN profile and user-credentials documents of the profile\n"
    "  activate NAME            make the profile the active configuration, apply it as the\n"
    "                           profile list's Apply does and wait for the connection (exit\n"
    "                           status 1 when it fails); with --adapter-id naming an adapter\n"
    "                           that is not present, only the store is changed\n"
    "  delete NAME [--json]     delete the profile as the profile list's Delete does: the\n"
    "                           wireless service's profile of its SSID goes too unless the\n"
    "                           active profile or the WPS credential still uses it; deleting\n"
    "                           the active profile resets the active configuration and, when\n"
    "                           the next profile for the same SSID was active before, applies\n"
    "                           that one and waits for the connection\n"
    "Without --adapter-id and --family the adapter is found as the utility finds it. Without\n"
    "--data-dir the data folder is chosen by the 'setting' file of the program folder (default:\n"
    "the machine-wide folder <root>/var/lib/Orvane/).\n";

struct Options {
  std::optional<std::string> adapterId;
  std::optional<std::string> family;
  std::optional<std::string> dataDir;
  bool showSecrets = false;
  bool json = false;
  std::vector<std::string> words;  // the action and its arguments
};

int Usage(std::ostream& err, const std::string& problem) { return UsageError(err, problem, kUsage); }

std::optional<int32_t> ParseFamily(std::string text) {
  text = AsciiUppered(text);
  if (auto family = ChipFamilyFromName(text)) return *family;
  if (text.empty() || text.size() > 2 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  int32_t n = std::stoi(text);
  return IsKnownChipFamily(n) ? std::optional<int32_t>(n) : std::nullopt;
}

// The adapter as the utility finds it: chip family and NetCfgInstanceId.
std::optional<StoreLocation> DiscoverAdapterStore() {
  AdapterSession session({});
  if (!session.Discover()) return std::nullopt;
  return StoreLocation{"", session.Adapter().chipFamily, session.Adapter().netCfgInstanceId};
}

// Control bytes as \xNN, so a hostile SSID cannot drive the terminal.
std::string Printable(const std::string& value) {
  std::string out;
  for (unsigned char c : value) {
    if (c < 0x20 || c == 0x7F || c == '\\') {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
      out += buffer;
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

int List(ProfileStore& store, std::ostream& out) {
  std::string active = store.ReadStoreValue(StoreFileKind::Station, kActiveSection, kCurProfileKey);
  for (const std::string& name : store.ListProfileNames()) {
    out << Printable(name);
    if (!active.empty() && name == active) out << " (active)";
    out << "\n";
  }
  return kExitOk;
}

int Show(ProfileStore& store, const std::string& name, bool showSecrets, std::ostream& out,
         std::ostream& err) {
  if (!store.ProfileNameExists(name)) {
    err << "ERROR: no profile \"" << Printable(name) << "\"\n";
    return kExitFailed;
  }
  out << "[" << Printable(name) << "]\n";
  for (std::string_view key : ProfileKeyList) {
    if (key == kEapConfigBlobKey) {
      if (auto blob = store.ReadEapBlob(StoreFileKind::Profiles, StoreFileKind::ProfilesBlob, name)) {
        out << key << "=<" << blob->size() << " bytes>\n";
      }
      continue;
    }
    std::string value = store.ReadStoreValue(StoreFileKind::Profiles, name, key,
                                             std::max(kStoreValueBufferSize, ProfileValueLimit(key) + 1));
    if (IsEncryptedKey(key) && !value.empty() && !showSecrets) value = "********";
    out << key << "=" << Printable(value) << "\n";
  }
  return kExitOk;
}

int Export(ProfileStore& store, const std::string& name, const std::string& file, std::ostream& out,
           std::ostream& err) {
  switch (store.ExportProfileSection(name, file)) {
    case kExportOk:
      out << "Exported \"" << Printable(name) << "\" to " << file << "\n";
      return kExitOk;
    case kExportNoProfile:
      err << "ERROR: no profile \"" << Printable(name) << "\"\n";
      return kExitFailed;
    default:
      err << "ERROR: cannot write " << file << "\n";
      return kExitFailed;
  }
}

int Import(ProfileStore& store, const std::string& file, std::ostream& out, std::ostream& err) {
  std::string problem;
  int result = store.ImportProfileSection(file, &problem);
  if (result == kImportOk) {
    out << "Imported " << file << "\n";
    return kExitOk;
  }
  err << "ERROR: " << file << ": " << Printable(problem) << " (result " << result << ")\n";
  return kExitFailed;
}

int Xml(ProfileStore& store, const std::string& name, std::ostream& out, std::ostream& err) {
  if (!store.ProfileNameExists(name)) {
    err << "ERROR: no profile \"" << Printable(name) << "\"\n";
    return kExitFailed;
  }
  // As activation loads it after copying the profile into the active configuration.
  ActiveProfileContext context;
  context.selectedProfileName = name;
  context.wpaReady = true;
  StationProfile record;
  LoadActiveProfile(store, context, record);
  if (record.authMode == kAuthWapiCa) {
    record.userCertPath = store.ReadStoreValue(StoreFileKind::Profiles, name, "UserCertPath");
    record.asCertPath = store.ReadStoreValue(StoreFileKind::Profiles, name, "ASCertPath");
  }
  WlanProfileDocuments docs = BuildWlanProfile(record, {});
  if (docs.profileTooLong) {
    err << "ERROR: the WLAN profile document would exceed " << kWlanDocumentMaxChars
        << " characters\n";
    return kExitFailed;
  }
  if (docs.profileXml.empty()) {
    err << "ERROR: the profile has no SSID and no scan list is at hand to choose a network\n";
    return kExitFailed;
  }
  out << docs.profileXml << "\n";
  if (!docs.userCredentialsXml.empty()) out << docs.userCredentialsXml << "\n";
  if (docs.userCredentialsTooLong) {
    err << "ERROR: the user-credentials document would exceed " << kWlanDocumentMaxChars
        << " characters\n";
    return kExitFailed;
  }
  return kExitOk;
}

// The store without the adapter: what activation writes, for the utility to apply when it finds
// the adapter.
int ActivateInStoreOnly(ProfileStore& store, const std::string& name, std::ostream& out,
                        std::ostream& err) {
  if (!store.ProfileNameExists(name)) {
    err << "ERROR: no profile \"" << Printable(name) << "\"\n";
    return kExitFailed;
  }
  if (!store.ActivateProfileInStore(name, FormatActiveTime())) {
    err << "ERROR: cannot write the active configuration\n";
    return kExitFailed;
  }
  out << "Activated \"" << Printable(name) << "\" in the store of "
      << Printable(store.location().netCfgInstanceId)
      << "; that adapter is not present, so nothing was applied\n";
  return kExitOk;
}

bool SameAdapter(const AdapterInfo& adapter, const StoreLocation& named) {
  return adapter.chipFamily == named.chipFamily &&
         EqualsIgnoringAsciiCase(adapter.netCfgInstanceId, named.netCfgInstanceId);
}

// What the profile list's Apply does, then the wait for the connection: the profile becomes the
// active configuration (or, for a user who may not write it, the selected profile), the action
// queue sends the radio settings and hands the profile to the wireless service, and the
// service's answer decides the exit status.
int Activate(std::optional<StoreLocation> named, const std::optional<std::string>& dataDirOption,
             const std::string& name, std::ostream& out, std::ostream& err) {
  AdapterSession session{AdapterSessionOptions{}};
  const bool found = session.Discover();
  if (named && !(found && SameAdapter(session.Adapter(), *named))) {
    named->dataDir = ChosenDataDirectory(dataDirOption).path;
    OvEncryptSecretCodec codec;
    ProfileStore store(*named, &codec, EncryptPasswordsSetting());
    if (!store.valid()) {
      err << "ERROR: \"" << Printable(named->netCfgInstanceId) << "\" cannot name a profile store\n";
      return kExitUsage;
    }
    return ActivateInStoreOnly(store, name, out, err);
  }
  if (!found) {
    err << "ERROR: no adapter found; name one with --adapter-id and --family\n";
    return kExitFailed;
  }
  const DataDirectory dataDir = ChosenDataDirectory(dataDirOption);
  std::string problem;
  if (!session.SetUp(dataDir.path, dataDir.shared, &problem)) {
    err << "ERROR: " << problem << "\n";
    return kExitFailed;
  }
  ProfileStore& store = session.Store();
  if (!store.ProfileNameExists(name)) {
    err << "ERROR: no profile \"" << Printable(name) << "\"\n";
    return kExitFailed;
  }
  // Apply is ignored while the radio is switched off: nothing is written or sent.
  if (!session.RadioOn()) {
    err << "ERROR: the radio is switched off; \"" << Printable(name) << "\" was not applied\n";
    return kExitFailed;
  }
  ActionQueue& queue = session.Queue();
  if (session.ActivationWritesStore()) {
    if (!store.ActivateProfileInStore(name, FormatActiveTime())) {
      err << "ERROR: cannot write the active configuration\n";
      return kExitFailed;
    }
  } else {
    queue.activation().SelectedProfileName = name;
  }
  queue.activation().StationProfileInUse = 1;
  // A fresh process has no radio settings loaded yet: load and send them with the profile, as
  // the monitor's adapter set-up and Apply do together.
  queue.ApplyActiveConfiguration(1, 1, 0);

  std::string ssid;
  if (const StationProfile* applied = queue.CurrentProfile()) {
    ssid = std::string(NdisSsidText(applied->ssid));
  }
  const ConnectionOutcome outcome = session.WaitForConnection(kConnectionWait);
  if (outcome.result == ConnectionResult::Connected) {
    out << "Activated \"" << Printable(name) << "\": connected to \"" << Printable(ssid) << "\"\n";
    return kExitOk;
  }
  err << "ERROR: \"" << Printable(name) << "\" (SSID \"" << Printable(ssid)
      << "\") did not connect: " << DescribeOutcome(outcome, kConnectionWait) << "\n";
  return kExitFailed;
}

struct DeleteReport {
  std::string name;
  DeleteOutcome outcome;
  std::optional<ConnectionOutcome> reactivation;
  std::string error;
};

int FinishDelete(const DeleteReport& r, bool json, std::ostream& out, std::ostream& err) {
  const bool reactivated = r.outcome.reactivate.has_value();
  const bool connected =
      r.reactivation && r.reactivation->result == ConnectionResult::Connected;
  const bool ok = r.error.empty() && r.outcome.deleted && (!reactivated || connected);
  if (json) {
    out << "{\n  \"profile\": " << Json(r.name) << ",\n  \"deleted\": "
        << (r.outcome.deleted ? "true" : "false") << ",\n  \"serviceProfileRemoved\": "
        << (r.outcome.serviceProfileRemoved ? "true" : "false")
        << ",\n  \"activeConfigurationReset\": "
        << (r.outcome.activeConfigurationReset ? "true" : "false") << ",\n  \"reactivated\": "
        << (reactivated ? Json(*r.outcome.reactivate) : std::string("null"))
        << ",\n  \"connected\": "
        << (r.reactivation ? (connected ? "true" : "false") : "null") << ",\n  \"message\": "
        << Json(!r.error.empty() ? r.error
                : r.reactivation ? DescribeOutcome(*r.reactivation, kConnectionWait)
                                 : std::string(r.outcome.deleted ? "deleted" : ""))
        << "\n}\n";
    return ok ? kExitOk : kExitFailed;
  }
  if (!r.error.empty()) {
    err << "ERROR: " << r.error << "\n";
    return kExitFailed;
  }
  out << "Deleted \"" << Printable(r.name) << "\"";
  if (r.outcome.serviceProfileRemoved) out << " and the wireless service's profile of its SSID";
  out << "\n";
  if (r.outcome.activeConfigurationReset) out << "It was the active profile: nothing is active now\n";
  if (reactivated) {
    out << "Applied \"" << Printable(*r.outcome.reactivate) << "\", the profile for the same SSID\n";
    if (!connected) {
      err << "ERROR: \"" << Printable(*r.outcome.reactivate) << "\" did not connect: "
          << DescribeOutcome(*r.reactivation, kConnectionWait) << "\n";
    }
  }
  return ok ? kExitOk : kExitFailed;
}

// The profile list's Delete, with the adapter and its wireless service.
int Delete(const std::optional<StoreLocation>& named,
           const std::optional<std::string>& dataDirOption, const std::string& name, bool json,
           std::ostream& out, std::ostream& err) {
  DeleteReport report;
  report.name = name;
  AdapterSession session{AdapterSessionOptions{}};
  const bool found = session.Discover();
  if (!found || (named && !SameAdapter(session.Adapter(), *named))) {
    report.error = "the adapter is not present; deleting needs it and its wireless service";
    return FinishDelete(report, json, out, err);
  }
  const DataDirectory dataDir = ChosenDataDirectory(dataDirOption);
  std::string problem;
  if (!session.SetUp(dataDir.path, dataDir.shared, &problem)) {
    report.error = problem;
    return FinishDelete(report, json, out, err);
  }
  // The profile list's Delete is offered only to who may change profiles, and acts only while
  // the radio is on.
  if (!session.ActivationWritesStore()) {
    report.error = "deleting profiles needs administrator rights or [Advance] "
                   "AllowStandardUserSetProfile=1";
    return FinishDelete(report, json, out, err);
  }
  if (!session.RadioOn()) {
    report.error = "the radio is switched off; nothing was deleted";
    return FinishDelete(report, json, out, err);
  }
  ProfileStore& store = session.Store();
  if (std::string refused = store.StoreFilesProblem(); !refused.empty()) {
    report.error = refused;
    return FinishDelete(report, json, out, err);
  }
  ActionQueue& queue = session.Queue();
  const std::vector<ProfileRow> rows = ReadProfileRows(store, queue.adapter().wpaReady);
  size_t index = rows.size();
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].Name == name) index = i;
  }
  if (index == rows.size()) {
    report.error = "no profile \"" + Printable(name) + "\"";
    return FinishDelete(report, json, out, err);
  }

  LoadWpsStore(store, &session.Codec(), queue.wps());
  DeleteContext context;
  context.activeName = ActiveProfileName(store, true, "");
  // A fresh process applied nothing itself: the station profile is in use when the active
  // configuration names one and the WPS credential is not what the utility applies.
  int32_t inUse = queue.wps().WpsProfileInUse == 0 && !context.activeName.empty() ? 1 : 0;
  context.stationProfileInUse = &inUse;
  context.wpsProfileInUse = queue.wps().WpsProfileInUse;
  const WpsCredentialTable& table = queue.wps().Table;
  const uint32_t applied = queue.activation().AppliedCredentialIndex;
  if (applied < table.Count) {
    const WpsCredential& credential = table.Credentials[applied];
    context.wpsCredentialSsid.assign(reinterpret_cast<const char*>(credential.Ssid.data()),
                                     std::min<size_t>(credential.SsidLength, credential.Ssid.size()));
  }
  context.wpaReady = queue.adapter().wpaReady;
  NativeWifiClient& client = session.Client();
  context.service.exists = [&](const std::string& ssid) { return client.ServiceProfileExists(ssid); };
  context.service.remove = [&](const std::string& ssid) { client.DeleteServiceProfile(ssid); };

  report.outcome = DeleteProfileRow(store, rows, index, context);
  if (!report.outcome.deleted) {
    report.error = "cannot write the profile store";
    return FinishDelete(report, json, out, err);
  }
  if (report.outcome.reactivate) {
    if (ActivateStoredProfile(queue, store, *report.outcome.reactivate, true, 1)) {
      report.reactivation = session.WaitForConnection(kConnectionWait);
    } else {
      report.error = "deleted, but \"" + Printable(*report.outcome.reactivate) +
                     "\" could not be made active: cannot write the active configuration";
    }
  }
  return FinishDelete(report, json, out, err);
}

}  // namespace

int RunProfileCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::optional<std::string>& field) {
      if (i + 1 >= args.size()) return false;
      field = args[++i];
      return true;
    };
    if (arg == "--help" || arg == "-h") {
      out << kUsage;
      return kExitOk;
    } else if (arg == "--adapter-id") {
      if (!value(options.adapterId)) return Usage(err, "--adapter-id needs a value");
    } else if (arg == "--family") {
      if (!value(options.family)) return Usage(err, "--family needs a value");
    } else if (arg == "--data-dir") {
      if (!value(options.dataDir)) return Usage(err, "--data-dir needs a value");
    } else if (arg == "--show-secrets") {
      options.showSecrets = true;
    } else if (arg == "--json") {
      options.json = true;
    } else if (arg.rfind("--", 0) == 0) {
      return Usage(err, "unknown option \"" + arg + "\"");
    } else {
      options.words.push_back(arg);
    }
  }
  if (options.words.empty()) return Usage(err, "no action given");
  const std::string action = options.words[0];
  struct Arity {
    const char* name;
    size_t words;
  };
  static constexpr Arity kActions[] = {{"list", 1},   {"show", 2}, {"export", 3},
                                       {"import", 2}, {"xml", 2},  {"activate", 2},
                                       {"delete", 2}};
  const Arity* arity = nullptr;
  for (const Arity& a : kActions) {
    if (action == a.name) arity = &a;
  }
  if (arity == nullptr) return Usage(err, "unknown action \"" + action + "\"");
  if (options.words.size() != arity->words) return Usage(err, "wrong number of arguments for " + action);
  if (options.showSecrets && action != "show") return Usage(err, "--show-secrets belongs to show");
  if (options.json && action != "delete") return Usage(err, "--json belongs to delete");
  if (options.adapterId.has_value() != options.family.has_value()) {
    return Usage(err, "--adapter-id and --family go together");
  }

  std::optional<StoreLocation> named;
  if (options.adapterId) {
    auto family = ParseFamily(*options.family);
    if (!family) return Usage(err, "unknown chip family \"" + *options.family + "\"");
    named = StoreLocation{"", *family, *options.adapterId};
  }
  if (action == "activate") return Activate(named, options.dataDir, options.words[1], out, err);
  if (action == "delete") {
    return Delete(named, options.dataDir, options.words[1], options.json, out, err);
  }

  StoreLocation location;
  if (named) {
    location = *named;
  } else if (auto found = DiscoverAdapterStore()) {
    location = *found;
  } else {
    err << "ERROR: no adapter found; name one with --adapter-id and --family\n";
    return kExitFailed;
  }
  location.dataDir = ChosenDataDirectory(options.dataDir).path;

  OvEncryptSecretCodec codec;
  ProfileStore store(location, &codec, EncryptPasswordsSetting());
  if (!store.valid()) {
    err << "ERROR: \"" << Printable(location.netCfgInstanceId)
        << "\" cannot name a profile store\n";
    return kExitUsage;
  }
  // A store file planted by another user (a FIFO, a link into another file) is refused by
  // every action rather than read or written through.
  if (std::string problem = store.StoreFilesProblem(); !problem.empty()) {
    err << "ERROR: " << Printable(problem) << "\n";
    return kExitFailed;
  }
  const std::vector<std::string>& w = options.words;
  if (action == "list") return List(store, out);
  if (action == "show") return Show(store, w[1], options.showSecrets, out, err);
  if (action == "export") return Export(store, w[1], w[2], out, err);
  if (action == "import") return Import(store, w[1], out, err);
  return Xml(store, w[1], out, err);
}

}  // namespace ov::cli
