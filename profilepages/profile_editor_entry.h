#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "profilepages/page_auth_encry_rules.h"
#include "profilepages/peap_prompt_rules.h"

// How the pages that open the profile editor (lower panel 2) and the security editor (lower
// panel 3) reach them: the profile list's Add and Edit, the site survey's Add to Profile and
// Connect. The editors implement the interfaces; the openers find them among the window's
// panels, prepare them and show them, so a page never needs the editor's own header.
namespace ov {

class COvUI2007Dlg;

class ProfileEditorPanel {
 public:
  virtual ~ProfileEditorPanel() = default;
  // Add from the profile list: every tab reset, a new default name.
  virtual void OpenForAdd() = 0;
  // Add to Profile from the site survey; `scanEntry` is the chosen NDIS_WLAN_BSSID_EX record.
  virtual void OpenFromSurvey(std::span<const uint8_t> scanEntry) = 0;
  // Edit of a stored profile; false (nothing shown) when it cannot be loaded.
  virtual bool OpenForEdit(const std::string& profileName) = 0;
  // The advanced page applied new radio settings: a shown system-config tab re-reads the ad hoc
  // wireless mode and rebuilds its channel list.
  virtual void RadioSettingsApplied() {}
  // A profile made without showing the editor (the WPS page's Import Profile): prepared as for
  // Add, the SSID and the security tab's state set and shown in the controls, then OK as if
  // pressed. True when the profile was saved; a refused one is left in the editor, shown with
  // its reason.
  virtual bool AddWithoutShowing(const std::string& ssid, const AuthEncryState& security) {
    (void)ssid;
    (void)security;
    return false;
  }
};

class SecurityEditorPanel {
 public:
  virtual ~SecurityEditorPanel() = default;
  // Connect from the site survey to a secured network; `scanEntry` as above.
  virtual void OpenForConnect(std::span<const uint8_t> scanEntry) = 0;
  // The EAP-FAST dialog its OK started has closed (0x412): the waiting connection goes ahead.
  virtual void EapDialogClosed() {}
};

// The credential prompt (lower panel 8): shows the form the request asks for and waits for the
// user; nothing when the prompt ended without an answer.
class PeapPromptPanel {
 public:
  virtual ~PeapPromptPanel() = default;
  virtual std::optional<PeapPromptAnswer> Run(const PeapPromptRequest& request) = 0;
};

// Runs the prompt of `window`'s panel 8; nothing when the window has no such panel or the user
// gave no answer.
std::optional<PeapPromptAnswer> RunPeapSettingPrompt(COvUI2007Dlg& window,
                                                     const PeapPromptRequest& request);

// Each prepares the panel and shows it in the lower frame; false when this window has no such
// panel, and then nothing changes.
bool OpenProfileEditorForAdd(COvUI2007Dlg& window);
bool OpenProfileEditorFromSurvey(COvUI2007Dlg& window, std::span<const uint8_t> scanEntry);
bool OpenProfileEditorForEdit(COvUI2007Dlg& window, const std::string& profileName);
bool OpenSecurityEditorForConnect(COvUI2007Dlg& window, std::span<const uint8_t> scanEntry);
// AddWithoutShowing of the window's profile editor; false without one. A refused profile shows
// the editor on it, with the reason, so the user can mend it or cancel.
bool AddProfileWithoutShowing(COvUI2007Dlg& window, const std::string& ssid,
                              const AuthEncryState& security);
// Tells the security editor, when the window has one, that the EAP-FAST dialog has closed.
void NotifySecurityEditorOfEapDialog(COvUI2007Dlg& window);
// Tells the profile editor, when the window has one, that the radio settings were applied.
void NotifyProfileEditorOfRadioSettings(COvUI2007Dlg& window);

}  // namespace ov
