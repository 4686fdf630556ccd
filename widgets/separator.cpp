#include "widgets/separator.h"

#include <QPainter>

namespace ov {

namespace {
constexpr int kGap = 6;
}

Separator::Separator(const QString& caption, QWidget* parent) : QWidget(parent), caption_(caption) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Separator::setCaption(const QString& caption) {
  caption_ = caption;
  updateGeometry();
  update();
}

int Separator::ruleStart() const {
  return caption_.isEmpty() ? 0 : fontMetrics().horizontalAdvance(caption_) + kGap;
}

QSize Separator::sizeHint() const {
  return QSize(ruleStart() + 2 * kGap, std::max(fontMetrics().height(), 4));
}

void Separator::paintEvent(QPaintEvent* event) {
  (void)event;
  QPainter painter(this);
  if (!caption_.isEmpty()) {
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, caption_);
  }
  // An etched line: dark over light.
  const int y = height() / 2;
  const int from = ruleStart();
  if (from >= width()) return;
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawLine(from, y, width() - 1, y);
  painter.setPen(palette().color(QPalette::Light));
  painter.drawLine(from, y + 1, width() - 1, y + 1);
}

}  // namespace ov
