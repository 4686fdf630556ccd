#include "shell/ui/tab_bar_layout.h"

#include <algorithm>

#include "shell/ui/control_ids.h"

namespace ov {

const std::array<TabButtonEntry, kTabButtonCount>& TabButtons() {
  static const std::array<TabButtonEntry, kTabButtonCount> buttons = {{
      {TabButton::Profile, IDC_TAB_PROFILE, IDS_TAB_PROFILE, IDB_TAB_PROFILE, IDD_PAGE_PROFILE,
       "CPageProfileDlg"},
      {TabButton::SiteSurvey, IDC_TAB_SITESURVEY, IDS_TAB_SITESURVEY, IDB_TAB_SITESURVEY,
       IDD_PAGE_SITESURVEY, "CPageSiteSurveyDlg"},
      {TabButton::Advance, IDC_TAB_ADVANCE, IDS_TAB_ADVANCE, IDB_TAB_ADVANCE, IDD_PAGE_ADVANCE,
       "CPageAdvanceDlg"},
      {TabButton::Statistics, IDC_TAB_STATISTICS, IDS_TAB_STATISTICS, IDB_TAB_STATISTICS,
       IDD_PAGE_STATISTICS, "CPageStatisticsDlg"},
      {TabButton::Wmm, IDC_TAB_WMM, IDS_TAB_WMM, IDB_TAB_WMM, IDD_PAGE_WMM, "CPageWMMDlg"},
      {TabButton::Wps, IDC_TAB_WPS, IDS_TAB_WPS, IDB_TAB_WPS, IDD_PAGE_WPS, "CPageWPSDlg"},
      {TabButton::Sso, IDC_TAB_SSO, IDS_TAB_SSO, IDB_TAB_SSO, IDD_PAGE_SSO, "CPageSSODlg"},
      {TabButton::CcxConfig, IDC_TAB_CCX_CONFIG, IDS_TAB_CCX_CONFIG, IDB_TAB_CCX_CONFIG,
       IDD_PAGE_CCX_CONFIG, "CPageCCXConfigDlg"},
      {TabButton::Radio, IDC_TAB_RADIO, IDS_TAB_RADIO, IDB_RADIO_ON, 0, nullptr},
      {TabButton::About, IDC_TAB_ABOUT, IDS_TAB_ABOUT, IDB_TAB_ABOUT, IDD_PAGE_ABOUT,
       "CPageAboutDlg"},
      {TabButton::Help, IDC_TAB_HELP, IDS_BTN_HELP, IDB_TAB_HELP, 0, nullptr},
      {TabButton::Ht80211n, IDC_TAB_80211N, IDS_TAB_80211N, IDB_TAB_80211N, IDD_PAGE_80211N,
       "CPage80211nSettingDlg"},
  }};
  return buttons;
}

const TabButtonEntry& TabButtonInfo(TabButton button) {
  return TabButtons()[static_cast<int>(button)];
}

const TabButtonEntry* TabButtonByCommand(int commandId) {
  for (const auto& entry : TabButtons()) {
    if (entry.commandId == commandId) return &entry;
  }
  return nullptr;
}

TabBarLayout::TabBarLayout() {
  for (int i = 0; i < kTabButtonCount; ++i) positions_[i] = i + 1;
}

void TabBarLayout::Remove(TabButton button) {
  const int removed = Position(button);
  if (removed == kRemoved) return;
  for (int& position : positions_) {
    if (position != kRemoved && position > removed) --position;
  }
  positions_[static_cast<int>(button)] = kRemoved;
}

void TabBarLayout::Layout(const TabBarOptions& options) {
  enabled_.fill(true);
  if (!options.ssoInstalled) Remove(TabButton::Sso);
  if (!options.offer80211n) Remove(TabButton::Ht80211n);
  for (int i = 0; i < kTabButtonCount; ++i) {
    if (positions_[i] == kRemoved) enabled_[i] = false;
  }
  if (!options.htCapable) enabled_[static_cast<int>(TabButton::Ht80211n)] = false;

  if (ScrollButtonsShown()) {
    leftEnabled_ = Position(TabButton::Profile) != 1;
    rightEnabled_ = Position(LastButton(options)) > kVisibleTabSlots;
  } else {
    leftEnabled_ = false;
    rightEnabled_ = false;
  }
}

void TabBarLayout::ScrollLeft(const TabBarOptions& options) {
  // Never past the first button, which would open an empty slot at the left end.
  if (Position(TabButton::Profile) < 1) {
    for (int& position : positions_) {
      if (position != kRemoved) ++position;
    }
  }
  Layout(options);
}

void TabBarLayout::ScrollRight(const TabBarOptions& options) {
  // Scrolling further than the last button would leave empty slots at the right end.
  const bool canScroll = Position(TabButton::Statistics) != 0 || options.offer80211n;
  if (canScroll && Position(LastButton(options)) > kVisibleTabSlots) {
    for (int& position : positions_) {
      if (position != kRemoved) --position;
    }
  }
  Layout(options);
}

bool TabBarLayout::Visible(TabButton button) const {
  const int position = Position(button);
  return position >= 1 && position <= kVisibleTabSlots;
}

int TabBarLayout::Slot(TabButton button) const {
  return Visible(button) ? Position(button) - 1 : -1;
}

int TabBarLayout::OfferedCount() const {
  return static_cast<int>(std::count_if(positions_.begin(), positions_.end(),
                                        [](int position) { return position != kRemoved; }));
}

std::vector<int> TabBarLayout::FillerSlots() const {
  std::vector<int> freeSlots;
  const int offered = OfferedCount();
  if (offered > kVisibleTabSlots) return freeSlots;
  for (int slot = offered; slot < kVisibleTabSlots && static_cast<int>(freeSlots.size()) < kFillerCount;
       ++slot) {
    freeSlots.push_back(slot);
  }
  return freeSlots;
}

TabButton TabBarLayout::LastButton(const TabBarOptions& options) {
  if (options.offer80211n) return TabButton::Ht80211n;
  if (options.helpFileExists) return TabButton::Help;
  return TabButton::About;
}

std::vector<TabButton> TabBarLayout::VisibleButtons() const {
  std::vector<TabButton> visible(kVisibleTabSlots, TabButton::Profile);
  int count = 0;
  for (int i = 0; i < kTabButtonCount; ++i) {
    const auto button = static_cast<TabButton>(i);
    if (Visible(button)) {
      visible[Slot(button)] = button;
      ++count;
    }
  }
  visible.resize(std::min(count, kVisibleTabSlots));
  return visible;
}

int TabSlotX(int slot, bool scrollButtonsShown, int buttonWidth, int scrollSlotWidth) {
  return slot * buttonWidth + (scrollButtonsShown ? scrollSlotWidth : 0);
}

}  // namespace ov
