#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>

// Choices the WPS page makes during a run: which access point auto-select tries next and which
// credential rotation applies.
namespace ov {

// The AP list's device password ID text of push-button access points; auto-select skips them.
inline constexpr std::string_view kWpsPushButtonIdText = "ID : 0x0004";

// The row after `current` (-1: from the first) whose ID text is not the push-button one; -1
// when no row is left.
int NextAutoSelectRow(std::span<const std::string> idTexts, int current);

// The ID column's text for a device password ID ("ID : 0x%04X").
std::string WpsPasswordIdText(uint16_t passwordId);

// Rotation on the connection monitor's tick: every fifth tick applies a credential; the index
// goes round the table instead of running past its count. None on other ticks or without
// credentials.
std::optional<uint32_t> RotationCredentialIndex(uint32_t tick, uint32_t credentialCount);

}  // namespace ov
