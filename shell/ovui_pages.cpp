#include "shell/ovui_pages.h"

#include "radio/page_about.h"
#include "shell/ui/main_window.h"
#include "views/link_status_dlg.h"
#include "views/page_site_survey.h"
#include "views/page_statistics.h"

namespace ov {

void RegisterProgramPages(PageRegistry& pages) {
  pages.RegisterPage(TabButton::About, MakeAboutPage);
  pages.RegisterPage(TabButton::SiteSurvey, MakeSiteSurveyPage);
  pages.RegisterPage(TabButton::Statistics, MakeStatisticsPage);
  pages.RegisterLowerPanel(0, MakeLinkStatusPanel);
}

}  // namespace ov
