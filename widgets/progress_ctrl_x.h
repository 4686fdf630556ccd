#pragma once
#include <QColor>
#include <QString>
#include <QWidget>
#include <memory>

#include "platform/time/timer_service.h"

// CProgressCtrlX: a bar of range 0-100 with a caption drawn inside it and a three-stop colour
// gradient (top, middle, bottom). The caption has two modes: in percent mode it is a format with
// one integer placeholder that the bar fills with its own position; in text mode it is shown
// unchanged. With a timer service the fill moves toward a new position in 55 ms steps.
namespace ov {

class CProgressCtrlX : public QWidget {
  Q_OBJECT

 public:
  enum class CaptionMode { Percent, Text };

  static constexpr int kMinimum = 0;
  static constexpr int kMaximum = 100;
  static constexpr uint32_t kAnimationStepMs = 55;

  explicit CProgressCtrlX(QWidget* parent = nullptr, TimerService* animation = nullptr);
  ~CProgressCtrlX() override;

  void setCaption(const QString& caption, CaptionMode mode);
  QString caption() const { return caption_; }
  CaptionMode captionMode() const { return mode_; }
  // The caption as drawn.
  QString captionText() const;

  void setGradient(const QColor& top, const QColor& middle, const QColor& bottom);
  // The pages' usual face: `colour`, light blue (0xF0CAA6), `colour`.
  void setBarColour(const QColor& colour);
  QColor gradientTop() const { return top_; }

  // Clamped to 0-100.
  void setPosition(int position);
  int position() const { return target_; }
  // Where the fill is drawn now (behind position() while it animates).
  int shownPosition() const { return shown_; }
  // Pixels of the inner width the fill covers at the shown position.
  int filledWidth() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void step();

  TimerService* animation_;
  TimerId stepTimer_ = 0;
  QString caption_;
  CaptionMode mode_ = CaptionMode::Percent;
  QColor top_;
  QColor middle_;
  QColor bottom_;
  int target_ = 0;
  int shown_ = 0;
};

// The light blue between the two colour stops of the pages' bars (0xF0CAA6).
QColor BarMiddleColour();

}  // namespace ov
