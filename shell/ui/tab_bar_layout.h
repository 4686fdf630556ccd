#pragma once
#include <array>
#include <limits>
#include <vector>

#include "lang/language_keys.h"

// The main window's button bar as data: which buttons are offered, where each sits, which are
// enabled, and when the scroll buttons show. Eight slots are visible; with more buttons the bar
// scrolls by one slot at a time.
namespace ov {

enum class TabButton : int {
  Profile,
  SiteSurvey,
  Advance,
  Statistics,
  Wmm,
  Wps,
  Sso,
  CcxConfig,
  Radio,
  About,
  Help,
  Ht80211n,
};
inline constexpr int kTabButtonCount = 12;
inline constexpr int kVisibleTabSlots = 8;
inline constexpr int kFillerCount = 2;

struct TabButtonEntry {
  TabButton button;
  int commandId;    // also the control id
  LanguageKey label;
  int bitmap;       // the radio button's "on" face; its "off" face is IDB_RADIO_OFF
  int pageTemplate; // 0: a command, not a page
  const char* pageClass;
};

// In bar order.
const std::array<TabButtonEntry, kTabButtonCount>& TabButtons();
const TabButtonEntry& TabButtonInfo(TabButton button);
// Nothing (nullptr) for a number that is no bar button.
const TabButtonEntry* TabButtonByCommand(int commandId);

struct TabBarOptions {
  bool ssoInstalled = false;
  bool offer80211n = false;     // [Page] "11n Setting" = "1"
  bool htCapable = false;
  bool helpFileExists = false;  // the manual beside the program
};

class TabBarLayout {
 public:
  // Positions 1 to 12 in bar order, nothing laid out yet.
  TabBarLayout();

  // Removes the buttons that are not offered (once: the buttons behind close up), then places,
  // enables and hides as the options say.
  void Layout(const TabBarOptions& options);
  // Every position one up (left) or one down (right), then Layout. Neither scrolls past an end
  // of the bar, so no slot is ever left empty by scrolling.
  void ScrollLeft(const TabBarOptions& options);
  void ScrollRight(const TabBarOptions& options);

  // 1 = leftmost visible slot; values below 1 are scrolled off to the left, above 8 off to the
  // right; kRemoved = not in the bar. Scrolling takes positions below zero, so the removed mark
  // is a value no scroll can reach (a -1 mark would turn a button scrolled two slots off the
  // left end into a removed one).
  int Position(TabButton button) const { return positions_[static_cast<int>(button)]; }
  bool Offered(TabButton button) const { return Position(button) != kRemoved; }
  bool Visible(TabButton button) const;
  bool Enabled(TabButton button) const { return enabled_[static_cast<int>(button)]; }
  // 0-based visible slot, -1 when not visible.
  int Slot(TabButton button) const;
  int OfferedCount() const;

  bool ScrollButtonsShown() const { return OfferedCount() > kVisibleTabSlots; }
  bool LeftScrollEnabled() const { return leftEnabled_; }
  bool RightScrollEnabled() const { return rightEnabled_; }
  // Slots (0-based) the blank fillers take; empty while the bar scrolls.
  std::vector<int> FillerSlots() const;
  // The button that ends the bar: 802.11n when offered, else Help when its file exists, else About.
  static TabButton LastButton(const TabBarOptions& options);

  // The visible buttons from left to right.
  std::vector<TabButton> VisibleButtons() const;

  static constexpr int kRemoved = std::numeric_limits<int>::min();

 private:
  void Remove(TabButton button);

  std::array<int, kTabButtonCount> positions_{};
  std::array<bool, kTabButtonCount> enabled_{};
  bool leftEnabled_ = false;
  bool rightEnabled_ = false;
};

// x of a visible slot: slots follow each other from the left edge, after the left scroll slot
// while the scroll buttons show.
int TabSlotX(int slot, bool scrollButtonsShown, int buttonWidth, int scrollSlotWidth);

}  // namespace ov
