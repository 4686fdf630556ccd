#include "widgets/caption_format.h"

namespace ov {

std::string FormatIntCaption(std::string_view format, int64_t value) {
  std::string out;
  out.reserve(format.size() + 8);
  bool filled = false;
  for (size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%' || i + 1 == format.size()) {
      out += c;
      continue;
    }
    const char next = format[i + 1];
    if (next == '%') {
      out += '%';
      ++i;
    } else if (!filled && (next == 'd' || next == 'i' || next == 'u')) {
      out += std::to_string(value);
      filled = true;
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace ov
