#pragma once
#include <QColor>
#include <cstdint>

namespace ov {

// A colour written as the pages' tables give it: 0x00BBGGRR.
inline QColor FromColorRef(uint32_t colorRef) {
  return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

}  // namespace ov
