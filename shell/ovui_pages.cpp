#include "shell/ovui_pages.h"

#include "ccx/authen_status_dlg.h"
#include "ccx/page_ccx.h"
#include "profilepages/page_profile.h"
#include "profilepages/peap_setting_dlg.h"
#include "profilepages/profile_editor.h"
#include "profilepages/security_editor.h"
#include "radio/block_ack_panels.h"
#include "radio/page_80211n.h"
#include "radio/page_about.h"
#include "radio/page_advance.h"
#include "radio/page_wmm.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "ssopages/page_sso.h"
#include "views/ap_detail_dlg.h"
#include "views/hidden_ssid_dlg.h"
#include "views/link_status_dlg.h"
#include "views/page_site_survey.h"
#include "views/page_statistics.h"
#include "wpspages/page_wps.h"
#include "wpspages/wps_profile_panel.h"

namespace ov {

void RegisterProgramPages(PageRegistry& pages) {
  pages.RegisterPage(TabButton::Profile, MakeProfilePage);
  pages.RegisterPage(TabButton::About, MakeAboutPage);
  pages.RegisterPage(TabButton::Advance, MakeAdvancePage);
  pages.RegisterPage(TabButton::SiteSurvey, MakeSiteSurveyPage);
  pages.RegisterPage(TabButton::Statistics, MakeStatisticsPage);
  pages.RegisterPage(TabButton::Ht80211n, Make80211nPage);
  pages.RegisterPage(TabButton::Wmm, MakeWmmPage);
  pages.RegisterPage(TabButton::CcxConfig, MakeCcxConfigPage);
  pages.RegisterPage(TabButton::Wps, MakeWpsPage);
  pages.RegisterPage(TabButton::Sso, MakeSsoPage);
  pages.RegisterLowerPanel(LOWER_PANEL_LINK_STATUS, MakeLinkStatusPanel);
  pages.RegisterLowerPanel(LOWER_PANEL_HIDDEN_SSID, MakeHiddenSsidPanel);
  pages.RegisterLowerPanel(LOWER_PANEL_PROFILE_EDITOR, MakeProfileEditorPanel);
  pages.RegisterLowerPanel(LOWER_PANEL_SECURITY_EDITOR, MakeSecurityEditorPanel);
  pages.RegisterLowerPanel(LOWER_PANEL_AP_DETAIL, MakeApDetailPanel);
  pages.RegisterLowerPanel(LOWER_PANEL_ADD_BLOCK_ACK, MakeAddBlockAckPanel);
  pages.RegisterLowerPanel(LOWER_PANEL_DELETE_BLOCK_ACK, MakeDeleteBlockAckPanel);
  pages.RegisterLowerPanel(LOWER_PANEL_AUTHEN_STATUS, MakeAuthenStatusPanel);
  pages.RegisterLowerPanel(LOWER_PANEL_PEAP_SETTING, MakePeapSettingPanel);
  pages.RegisterLowerPanel(LOWER_PANEL_WPS_PROFILE, MakeWpsProfilePanel);
}

}  // namespace ov
