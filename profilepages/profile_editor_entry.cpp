#include "profilepages/profile_editor_entry.h"

#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"

namespace ov {
namespace {

template <typename Panel>
Panel* FindPanel(COvUI2007Dlg& window, int panel) {
  return dynamic_cast<Panel*>(window.LowerPanel(panel));
}

}  // namespace

bool OpenProfileEditorForAdd(COvUI2007Dlg& window) {
  auto* editor = FindPanel<ProfileEditorPanel>(window, LOWER_PANEL_PROFILE_EDITOR);
  if (!editor) return false;
  editor->OpenForAdd();
  window.ShowLowerPanel(LOWER_PANEL_PROFILE_EDITOR);
  return true;
}

bool OpenProfileEditorFromSurvey(COvUI2007Dlg& window, std::span<const uint8_t> scanEntry) {
  auto* editor = FindPanel<ProfileEditorPanel>(window, LOWER_PANEL_PROFILE_EDITOR);
  if (!editor) return false;
  editor->OpenFromSurvey(scanEntry);
  window.ShowLowerPanel(LOWER_PANEL_PROFILE_EDITOR);
  return true;
}

bool OpenProfileEditorForEdit(COvUI2007Dlg& window, const std::string& profileName) {
  auto* editor = FindPanel<ProfileEditorPanel>(window, LOWER_PANEL_PROFILE_EDITOR);
  if (!editor || !editor->OpenForEdit(profileName)) return false;
  window.ShowLowerPanel(LOWER_PANEL_PROFILE_EDITOR);
  return true;
}

bool OpenSecurityEditorForConnect(COvUI2007Dlg& window, std::span<const uint8_t> scanEntry) {
  auto* editor = FindPanel<SecurityEditorPanel>(window, LOWER_PANEL_SECURITY_EDITOR);
  if (!editor) return false;
  editor->OpenForConnect(scanEntry);
  window.ShowLowerPanel(LOWER_PANEL_SECURITY_EDITOR);
  return true;
}

void NotifySecurityEditorOfEapDialog(COvUI2007Dlg& window) {
  if (auto* editor = FindPanel<SecurityEditorPanel>(window, LOWER_PANEL_SECURITY_EDITOR))
    editor->EapDialogClosed();
}

bool AddProfileWithoutShowing(COvUI2007Dlg& window, const std::string& ssid,
                              const AuthEncryState& security) {
  auto* editor = FindPanel<ProfileEditorPanel>(window, LOWER_PANEL_PROFILE_EDITOR);
  if (!editor) return false;
  if (editor->AddWithoutShowing(ssid, security)) return true;
  // Showing it again would reload it onto its first tab.
  if (!window.LowerPanel(LOWER_PANEL_PROFILE_EDITOR)->isVisible())
    window.ShowLowerPanel(LOWER_PANEL_PROFILE_EDITOR);
  return false;
}

void NotifyProfileEditorOfRadioSettings(COvUI2007Dlg& window) {
  if (auto* editor = FindPanel<ProfileEditorPanel>(window, LOWER_PANEL_PROFILE_EDITOR))
    editor->RadioSettingsApplied();
}

std::optional<PeapPromptAnswer> RunPeapSettingPrompt(COvUI2007Dlg& window,
                                                     const PeapPromptRequest& request) {
  auto* panel = FindPanel<PeapPromptPanel>(window, LOWER_PANEL_PEAP_SETTING);
  if (!panel) return std::nullopt;
  return panel->Run(request);
}

}  // namespace ov
