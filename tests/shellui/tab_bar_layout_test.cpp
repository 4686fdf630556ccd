#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/ui/control_ids.h"
#include "shell/ui/tab_bar_layout.h"

namespace ov {
namespace {

using B = TabButton;

std::string Names(const std::vector<TabButton>& buttons) {
  static const char* names[] = {"Profile", "Survey", "Advance", "Stats", "WMM",   "WPS",
                                "SSO",     "CCX",    "Radio",   "About", "Help", "11n"};
  std::string text;
  for (TabButton button : buttons) {
    if (!text.empty()) text += ' ';
    text += names[static_cast<int>(button)];
  }
  return text;
}

TEST(TabBarLayoutTest, OfferedButtonsCloseUpAndEightShow) {
  struct Case {
    const char* name;
    TabBarOptions options;
    int offered;
    const char* visible;
    bool rightEnabled;
  } cases[] = {
      {"no SSO, no 802.11n, help present", {false, false, false, true}, 10,
       "Profile Survey Advance Stats WMM WPS CCX Radio", true},
      {"SSO installed", {true, false, false, true}, 11,
       "Profile Survey Advance Stats WMM WPS SSO CCX", true},
      {"all twelve", {true, true, true, true}, 12, "Profile Survey Advance Stats WMM WPS SSO CCX",
       true},
      {"802.11n offered without SSO", {false, true, false, false}, 11,
       "Profile Survey Advance Stats WMM WPS CCX Radio", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TabBarLayout bar;
    bar.Layout(c.options);
    EXPECT_EQ(bar.OfferedCount(), c.offered);
    EXPECT_EQ(Names(bar.VisibleButtons()), c.visible);
    EXPECT_TRUE(bar.ScrollButtonsShown());
    EXPECT_FALSE(bar.LeftScrollEnabled()) << "Profile is first";
    EXPECT_EQ(bar.RightScrollEnabled(), c.rightEnabled);
    EXPECT_TRUE(bar.FillerSlots().empty());
    EXPECT_EQ(bar.Offered(B::Sso), c.options.ssoInstalled);
    EXPECT_EQ(bar.Offered(B::Ht80211n), c.options.offer80211n);
    EXPECT_EQ(bar.Enabled(B::Ht80211n), c.options.offer80211n && c.options.htCapable);
  }
}

TEST(TabBarLayoutTest, LayingOutAgainDoesNotShiftTheBarFurther) {
  TabBarLayout bar;
  const TabBarOptions options{false, false, true, true};
  bar.Layout(options);
  bar.Layout(options);
  bar.Layout(options);
  EXPECT_EQ(bar.Position(B::Sso), TabBarLayout::kRemoved);
  EXPECT_EQ(bar.Position(B::CcxConfig), 7);
  EXPECT_EQ(bar.Position(B::Help), 10);
}

TEST(TabBarLayoutTest, ScrollingRightStopsAtTheLastButtonAndLeftAtTheFirst) {
  struct Case {
    const char* name;
    TabBarOptions options;
    int rightSteps;  // scrolls until the right button disables
    const char* endView;
  } cases[] = {
      {"help ends the bar", {false, false, false, true}, 2,
       "Advance Stats WMM WPS CCX Radio About Help"},
      {"no manual: about ends the bar", {false, false, false, false}, 1,
       "Survey Advance Stats WMM WPS CCX Radio About"},
      {"802.11n ends the bar", {true, true, true, true}, 4,
       "WMM WPS SSO CCX Radio About Help 11n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TabBarLayout bar;
    bar.Layout(c.options);
    int steps = 0;
    while (bar.RightScrollEnabled() && steps < 20) {
      bar.ScrollRight(c.options);
      ++steps;
      EXPECT_TRUE(bar.LeftScrollEnabled());
    }
    EXPECT_EQ(steps, c.rightSteps);
    EXPECT_EQ(Names(bar.VisibleButtons()), c.endView);
    EXPECT_TRUE(bar.Visible(TabBarLayout::LastButton(c.options)));

    // Pressing again does nothing: no empty slot opens at the right end.
    bar.ScrollRight(c.options);
    EXPECT_EQ(Names(bar.VisibleButtons()), c.endView);

    for (int i = 0; i < steps; ++i) bar.ScrollLeft(c.options);
    EXPECT_EQ(bar.Position(B::Profile), 1);
    EXPECT_FALSE(bar.LeftScrollEnabled());
    bar.ScrollLeft(c.options);
    EXPECT_EQ(bar.Position(B::Profile), 1) << "no empty slot at the left end";
  }
}

TEST(TabBarLayoutTest, SlotsFollowTheLeftScrollSlotOnlyWhileTheBarScrolls) {
  // Ten buttons at least are always in use, so the bar scrolls and no filler is needed.
  TabBarLayout bar;
  bar.Layout({false, false, false, false});
  EXPECT_TRUE(bar.FillerSlots().empty());
  EXPECT_EQ(TabSlotX(0, true, 92, 20), 20);
  EXPECT_EQ(TabSlotX(3, true, 92, 20), 296);
  EXPECT_EQ(TabSlotX(3, false, 92, 20), 276);
}

TEST(TabBarLayoutTest, CommandsMapToButtonsAndPages) {
  EXPECT_EQ(TabButtonByCommand(IDC_TAB_SITESURVEY)->button, B::SiteSurvey);
  EXPECT_EQ(TabButtonByCommand(IDC_TAB_RADIO)->pageTemplate, 0);
  EXPECT_EQ(TabButtonByCommand(IDC_TAB_HELP)->pageTemplate, 0);
  EXPECT_STREQ(TabButtonByCommand(IDC_TAB_80211N)->pageClass, "CPage80211nSettingDlg");
  EXPECT_EQ(TabButtonByCommand(IDC_SCROLL_LEFT), nullptr);
  int order = 0;
  for (const auto& entry : TabButtons()) EXPECT_EQ(static_cast<int>(entry.button), order++);
}

}  // namespace
}  // namespace ov
