#include "ssopages/sso_page_rules.h"

#include <optional>

#include "driver/params/debug_trace.h"
#include "platform/registry/registry.h"
#include "profiles/sso_registry.h"

namespace ov {

namespace {

// One rule for the groups: the options need single sign-on on, the list also entries, Apply and
// the information also a chosen entry (Apply with single sign-on off would register the logon
// library for a feature that is off).
void UpdateGroups(SsoPageModel& model) {
  model.optionControls = model.ssoEnabled;
  model.listControls = model.ssoEnabled && !model.profiles.empty();
  model.detailControls = model.ssoEnabled && model.selected >= 0;
}

void ShowChosenDetails(SsoPageModel& model, const std::string& adapterKeyPath) {
  const bool chosen = model.selected >= 0 && model.selected < static_cast<int>(model.profiles.size());
  model.profileName = chosen ? model.profiles[static_cast<size_t>(model.selected)] : std::string();
  const SsoProfileDetails details = ReadSsoProfileDetails(adapterKeyPath, model.profileName);
  model.ssidValue = details.ssid;
  model.authenticationValue = details.authentication;
  UpdateGroups(model);
}

void MakeInert(SsoPageModel& model) {
  model.live = false;
  model.optionControls = model.listControls = model.detailControls = false;
}

}  // namespace

void ShowSsoPage(SsoPageModel& model, RegistryWriter* writer, const std::string& adapterKeyPath) {
  model.profiles = ListSsoProfiles(adapterKeyPath);
  model.selected = -1;
  LoadSsoSettings(model, writer);
  if (model.live) ShowSsoProfile(model, adapterKeyPath);
}

void LoadSsoSettings(SsoPageModel& model, RegistryWriter* writer) {
  RegKey sso;
  if (sso.open(HKEY_LOCAL_MACHINE, kSsoKey, KEY_READ) != 0) {
    DebugTrace("RegOpenKeyEx '%s' failed\n", kSsoKey);
    MakeInert(model);
    return;
  }
  const std::optional<std::string> install = ReadSsoText(sso.get(), kSsoInstallValue);
  if (!install) DebugTrace("RegQueryValueEx 'REGSTR_SSO_INSTALL' failed\n");
  if (install != "1") {
    MakeInert(model);
    return;
  }
  model.live = true;

  std::optional<std::string> enable = ReadSsoText(sso.get(), kSsoEnableValue);
  if (!enable) {
    DebugTrace("RegQueryValueEx 'REGSTR_SSO_ENABLE' failed\n");
    const uint32_t written =
        writer ? writer->SetValue(HKEY_LOCAL_MACHINE, kSsoKey, kSsoEnableValue, REG_SZ,
                                  EncodeString("0"))
               : 0;
    if (written != 0) DebugTrace("RegSetValueEx REGSTR_SSO_ENABLE failed\n");
    else enable = "0";
  }
  if (enable) {
    model.ssoEnabled = *enable != "0";
    UpdateGroups(model);
  }

  const std::optional<std::string> saved = ReadSsoText(sso.get(), kSavedPasswordValue);
  if (!saved) DebugTrace("RegQueryValueEx 'REGSTR_SSO_SAVED_PASSWORD' failed\n");
  if (!saved || *saved == "0") model.credentialSource = kSsoCredentialsFromLogon;
  else if (*saved == "1") model.credentialSource = kSsoCredentialsFromProfile;
  else model.credentialSource = kSsoCredentialsPrompt;
}

void ShowSsoProfile(SsoPageModel& model, const std::string& adapterKeyPath) {
  if (model.profiles.empty()) {
    model.selected = -1;
    ShowChosenDetails(model, adapterKeyPath);
    return;
  }
  RegKey sso;
  if (sso.open(HKEY_LOCAL_MACHINE, kSsoKey, KEY_READ) != 0) {
    DebugTrace("RegOpenKeyEx '%s' failed\n", kSsoKey);
  } else if (const std::optional<std::string> current = ReadSsoText(sso.get(), kSsoCurProfileValue)) {
    model.selected = FindSsoProfileByPrefix(model.profiles, *current);
  } else {
    DebugTrace("RegQueryValueEx 'REGSTR_KEY_CURPROFILE' failed\n");
    model.selected = 0;
  }
  ShowChosenDetails(model, adapterKeyPath);
}

void SelectSsoProfile(SsoPageModel& model, int index, const std::string& adapterKeyPath) {
  model.selected = index >= 0 && index < static_cast<int>(model.profiles.size()) ? index : -1;
  ShowChosenDetails(model, adapterKeyPath);
}

void ClickCredentialSource(SsoPageModel& model, int source, RegistryWriter* writer) {
  if (!model.live || source < kSsoCredentialsFromLogon || source > kSsoCredentialsPrompt) return;
  model.credentialSource = source;
  if (writer) SaveCredentialSource(*writer, source);
}

void ClickSsoEnable(SsoPageModel& model, bool checked, RegistryWriter* writer) {
  if (!model.live) return;
  model.ssoEnabled = checked;
  UpdateGroups(model);
  if (!checked && writer) RemoveSso(*writer);
}

SsoApplyResult ApplySso(const SsoPageModel& model, RegistryWriter* writer,
                        const std::string& adapterKeyPath) {
  SsoApplyResult result;
  if (!model.live || !model.ssoEnabled || model.profileName.empty() || !writer) return result;
  const std::string profilePath = SsoStationProfilePath(adapterKeyPath, model.profileName);
  {
    RegKey profile;
    if (profile.open(HKEY_LOCAL_MACHINE, profilePath, KEY_READ) != 0) {
      DebugTrace("RegOpenKeyEx '%s' failed\n", profilePath.c_str());
      return result;
    }
  }

  InstallSso(*writer, {model.ssoEnabled, model.profileName, adapterKeyPath});
  if (writer->SetValue(HKEY_LOCAL_MACHINE, adapterKeyPath, kSsoCurProfileValue, REG_SZ,
                       EncodeString(model.profileName)) != 0) {
    DebugTrace("RegSetValueEx REGSTR_KEY_CURPROFILE '%s' failed\n", model.profileName.c_str());
    return result;
  }
  const CopyValuesResult copy = CopyRegistryValues(*writer, profilePath, adapterKeyPath);
  result.applied = copy.error == 0;
  result.copyError = copy.error;
  result.copied = copy.copied;
  return result;
}

}  // namespace ov
