#include "profilepages/page_sys_config_rules.h"

#include <algorithm>
#include <initializer_list>

namespace ov {
namespace {

void AddRange(std::vector<uint8_t>& out, int first, int last, int step = 1) {
  for (int c = first; c <= last; c += step) out.push_back(static_cast<uint8_t>(c));
}
void AddList(std::vector<uint8_t>& out, std::initializer_list<int> channels) {
  for (int c : channels) out.push_back(static_cast<uint8_t>(c));
}

bool FamilyIn(int32_t family, int32_t first, int32_t last) {
  return family >= first && family <= last;
}

// 2.4 GHz region tables: A for families 0-1, B for families 4-10.
void Add24(std::vector<uint8_t>& out, uint32_t region, int32_t family, bool adhoc) {
  const bool tableA = FamilyIn(family, 0, 1);
  if (!tableA && !FamilyIn(family, 4, 10)) return;
  struct Range { int first, last; };
  static constexpr Range kTableA[9] = {{1, 11}, {1, 11}, {1, 13}, {10, 11}, {10, 13},
                                       {14, 14}, {1, 14}, {3, 9},  {5, 13}};
  static constexpr Range kTableB[9] = {{1, 11}, {1, 13}, {10, 11}, {10, 13}, {14, 14},
                                       {1, 14}, {3, 9},  {5, 13},  {1, 11}};
  Range r{1, 11};
  if (region <= 8) r = tableA ? kTableA[region] : kTableB[region];
  else if (region == 31 && !tableA) r = adhoc ? Range{1, 11} : Range{1, 14};
  AddRange(out, r.first, r.last);
}

void Add5(std::vector<uint8_t>& out, uint32_t region, int32_t family) {
  const bool newer = FamilyIn(family, 6, 10);
  const bool older = FamilyIn(family, 4, 5);
  switch (region) {
    case 1: AddRange(out, 36, 64, 4); AddRange(out, 100, 140, 4); break;
    case 2: AddRange(out, 36, 64, 4); break;
    case 3: AddList(out, {52, 56, 60, 64, 149, 153, 157, 161}); break;
    case 4: AddList(out, {149, 153, 157, 161, 165}); break;
    case 5: AddList(out, {149, 153, 157, 161}); break;
    case 6: AddList(out, {36, 40, 44, 48}); break;
    case 7:
      AddRange(out, 36, 64, 4);
      AddRange(out, 100, 140, 4);
      AddRange(out, 149, 165, 4);
      break;
    case 8: AddList(out, {52, 56, 60, 64}); break;
    case 9:
      if (older) {
        AddList(out, {34, 38, 42, 46});
      } else if (newer) {
        AddRange(out, 36, 64, 4);
        AddRange(out, 100, 116, 4);
        AddRange(out, 132, 140, 4);
        AddRange(out, 149, 165, 4);
      }
      break;
    case 10:
      if (older) {
        AddList(out, {34, 36, 38, 40, 42, 44, 46, 48, 52, 56, 60, 64});
      } else if (newer) {
        AddRange(out, 36, 48, 4);
        AddRange(out, 149, 165, 4);
      }
      break;
    case 11:
      if (newer) {
        AddRange(out, 36, 64, 4);
        AddRange(out, 100, 120, 4);
        AddRange(out, 149, 161, 4);
      }
      break;
    default:  // 0 and every region above 11
      AddList(out, {36, 40, 44, 48, 52, 56, 60, 64, 149, 153, 157, 161, 165});
      break;
  }
}

// Channels where 802.11h asks for radar detection: an ad hoc network may not start there.
bool IsDfsChannel(uint8_t channel) {
  return (channel >= 52 && channel <= 64) || (channel >= 100 && channel <= 140);
}

}  // namespace

int StoredPreamble(int pagePreamble) { return pagePreamble == kPagePreambleLong ? 0 : 2; }
int PagePreamble(int storedPreamble) {
  return storedPreamble == 0 ? kPagePreambleLong : kPagePreambleAuto;
}

std::vector<uint8_t> BuildChannelList(const ChannelListInputs& in) {
  std::vector<uint8_t> result;
  const uint32_t region24 = in.countryRegionWord & 0x7F;
  const uint32_t region5 = (in.countryRegionWord >> 8) & 0x7F;

  const bool skip24 = in.infrastructure ? in.wirelessMode == 2 : in.adhocWirelessMode == 3;
  const uint32_t mode = in.wirelessMode;
  const bool modeHas24 = mode == 0 || mode == 1 || mode == 3 || mode == 4 || mode == 5 ||
                         mode == 7 || mode == 9;
  if (!skip24 && modeHas24) Add24(result, region24, in.chipFamily, in.adhoc);

  const uint32_t mode5 = in.infrastructure ? in.wirelessMode : in.adhocWirelessMode;
  // Modes with 5 GHz: 2, 3, 5, 8 of the adapter; 3, 4, 5, 8 of the ad hoc record.
  const uint32_t aOnly = in.infrastructure ? 2 : 4;
  if (mode5 == aOnly || mode5 == 3 || mode5 == 5 || mode5 == 8) {
    std::vector<uint8_t> five;
    Add5(five, region5, in.chipFamily);
    if (in.ieee80211h && in.adhoc) std::erase_if(five, IsDfsChannel);
    result.insert(result.end(), five.begin(), five.end());
  }
  return result;
}

std::vector<std::string> ChannelListItems(const std::vector<uint8_t>& channels) {
  std::vector<std::string> items;
  for (uint8_t c : channels) {
    if (c == 34 || c == 38 || c == 42 || c == 46) continue;
    items.push_back(std::to_string(c));
  }
  return items;
}

int ChannelItemToSelect(const std::vector<std::string>& items, const std::string& channel) {
  if (items.empty()) return -1;
  auto it = std::find(items.begin(), items.end(), channel);
  return it == items.end() ? 0 : static_cast<int>(it - items.begin());
}

int ClampRtsThreshold(long long value) {
  return static_cast<int>(std::clamp<long long>(value, kRtsMin, kRtsMax));
}
int ClampFragThreshold(long long value) {
  return static_cast<int>(std::clamp<long long>(value, kFragMin, kFragMax));
}

}  // namespace ov
