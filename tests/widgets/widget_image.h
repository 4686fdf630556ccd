#pragma once
#include <QColor>
#include <QImage>
#include <QWidget>

namespace ov::test {

// The widget drawn as it would be on screen, at scale 1.
inline QImage Render(QWidget& widget) {
  QImage image(widget.size(), QImage::Format_ARGB32);
  image.fill(Qt::magenta);
  widget.render(&image);
  return image;
}

// Colours that differ by less than a rounding step of a gradient count as the same.
inline bool Near(const QColor& a, const QColor& b, int tolerance = 12) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

}  // namespace ov::test
