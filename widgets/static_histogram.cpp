#include "widgets/static_histogram.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <algorithm>

namespace ov {

namespace {

size_t ScreenWidthPixels() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return 1920;
  const qreal pixels = screen->geometry().width() * screen->devicePixelRatio();
  return static_cast<size_t>(std::max<qreal>(pixels, 1.0));
}

}  // namespace

CStaticHistogramPellan::CStaticHistogramPellan(QWidget* parent, size_t capacity)
    : QWidget(parent), ring_(capacity != 0 ? capacity : ScreenWidthPixels()) {}

void CStaticHistogramPellan::setLabelColumnWidth(int pixels) {
  labelColumn_ = std::max(0, pixels);
  update();
}

void CStaticHistogramPellan::setLabels(const QStringList& labels) {
  labels_ = labels;
  update();
}

void CStaticHistogramPellan::setBarColour(const QColor& colour) {
  bar_ = colour;
  update();
}

void CStaticHistogramPellan::setFullScale(double fullScale) {
  fullScale_ = fullScale;
  update();
}

void CStaticHistogramPellan::addSample(double sample) {
  ring_.Add(sample);
  update();
}

void CStaticHistogramPellan::clear() {
  ring_.Clear();
  update();
}

QRect CStaticHistogramPellan::plotArea() const {
  return QRect(labelColumn_, 0, std::max(0, width() - labelColumn_), height());
}

void CStaticHistogramPellan::paintEvent(QPaintEvent* event) {
  (void)event;
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);

  if (!labels_.isEmpty() && labelColumn_ > 0) {
    painter.setPen(Qt::white);
    const int slice = height() / static_cast<int>(labels_.size());
    for (int i = 0; i < labels_.size(); ++i) {
      painter.drawText(QRect(2, i * slice, labelColumn_ - 2, slice),
                       Qt::AlignLeft | Qt::AlignVCenter, labels_[i]);
    }
  }

  const QRect plot = plotArea();
  if (plot.width() <= 0) return;
  const size_t bars = std::min<size_t>(ring_.Capacity(), plot.width() / kBarWidth + 1);
  for (size_t age = 0; age < bars; ++age) {
    const int barHeight = HistogramBarHeight(plot.height(), ring_.Newest(age), fullScale_);
    if (barHeight <= 0) continue;
    const int right = plot.right() + 1 - static_cast<int>(age) * kBarWidth;
    const int left = std::max(plot.left(), right - kBarWidth);
    if (right <= left) break;
    painter.fillRect(QRect(left, plot.bottom() + 1 - barHeight, right - left, barHeight), bar_);
  }
}

}  // namespace ov
