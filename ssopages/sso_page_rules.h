#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "driver/params/registry_writer.h"

// The SSO page as data: what its controls show and which groups are enabled, and the handlers
// that read and write the logon component's key. CPageSSODlg reads its controls into the model,
// runs a handler and shows the model again. Writes go through `writer` (the registry broker);
// a null writer writes nothing (no adapter behind the window).
namespace ov {

struct SsoPageModel {
  // "SSOInstall" read "1" at the last show; otherwise the page is inert: every control disabled,
  // nothing written.
  bool live = false;
  bool ssoEnabled = false;        // SsoEnabled, the Enable check box
  int credentialSource = 0;       // CredentialSource, radio 0..2
  std::vector<std::string> profiles;  // the drop-down list, in list order
  int selected = -1;              // entry of the list, -1 none
  std::string profileName;        // SsoProfileName
  std::string ssidValue;          // information values
  std::string authenticationValue;
  // The control groups: the radio buttons with their labels, the profile group and the Enable
  // label; the profile label with the list; Apply with the information group.
  bool optionControls = false;
  bool listControls = false;
  bool detailControls = false;
};

// The page shown: the list, "SSOEnable" (written "0" when missing), "SavedPassword",
// "CurProfile" and the chosen profile's details.
void ShowSsoPage(SsoPageModel& model, RegistryWriter* writer, const std::string& adapterKeyPath);

// The steps of showing, for tests of each.
void LoadSsoSettings(SsoPageModel& model, RegistryWriter* writer);
void ShowSsoProfile(SsoPageModel& model, const std::string& adapterKeyPath);

// The drop-down list's selection changed to `index` (-1 none).
void SelectSsoProfile(SsoPageModel& model, int index, const std::string& adapterKeyPath);

// One of the credential radio buttons: "SavedPassword" at once.
void ClickCredentialSource(SsoPageModel& model, int source, RegistryWriter* writer);

// The Enable check box: checking writes nothing until Apply; unchecking removes single sign-on
// at once.
void ClickSsoEnable(SsoPageModel& model, bool checked, RegistryWriter* writer);

// Apply: the logon component gets the chosen profile and the adapter key becomes it. Nothing is
// written when the profile's key no longer opens (it was removed after the list was read).
struct SsoApplyResult {
  // The adapter key's "CurProfile" names the profile and every profile value was copied: the
  // page then marks the station profile in use.
  bool applied = false;
  uint32_t copyError = 0;   // the first value that could not be copied (0 none)
  size_t copied = 0;
};
SsoApplyResult ApplySso(const SsoPageModel& model, RegistryWriter* writer,
                        const std::string& adapterKeyPath);

}  // namespace ov
