#pragma once
#include <QColor>
#include <QStringList>
#include <QWidget>

#include "widgets/histogram_ring.h"

// CStaticHistogramPellan: the link status's scrolling throughput graph. A black plot area with a
// label column on the left in which the labels ("Max" and the scale text) are drawn in white, one
// per equal slice of the height; each sample is a bar 2 pixels wide, the newest at the right edge,
// older ones to its left.
namespace ov {

class CStaticHistogramPellan : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kBarWidth = 2;
  static constexpr int kDefaultLabelColumn = 50;

  // `capacity` 0: as many samples as the primary screen is wide in pixels.
  explicit CStaticHistogramPellan(QWidget* parent = nullptr, size_t capacity = 0);

  void setLabelColumnWidth(int pixels);
  void setLabels(const QStringList& labels);
  QStringList labels() const { return labels_; }
  void setBarColour(const QColor& colour);
  QColor barColour() const { return bar_; }
  void setFullScale(double fullScale);
  double fullScale() const { return fullScale_; }
  void addSample(double sample);
  void clear();
  const HistogramRing& samples() const { return ring_; }
  // The plot area in widget coordinates (right of the label column).
  QRect plotArea() const;

  QSize sizeHint() const override { return QSize(240, 60); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  HistogramRing ring_;
  QStringList labels_;
  QColor bar_ = Qt::green;
  int labelColumn_ = kDefaultLabelColumn;
  double fullScale_ = 0.0;
};

}  // namespace ov
