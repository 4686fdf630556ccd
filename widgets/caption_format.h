#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Captions of the language table that carry one integer ("Link Quality >> %d%%"). The text comes
// from a language file, so it is never handed to printf: only the first %d, %i or %u is filled,
// "%%" reads "%", and anything else after a "%" is shown as written.
namespace ov {

std::string FormatIntCaption(std::string_view format, int64_t value);

}  // namespace ov
