#include "widgets/progress_ctrl_x.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "widgets/accessibility.h"
#include "widgets/caption_format.h"
#include "widgets/colorref.h"

namespace ov {

QColor BarMiddleColour() { return FromColorRef(0xF0CAA6); }

CProgressCtrlX::CProgressCtrlX(QWidget* parent, TimerService* animation)
    : QWidget(parent), animation_(animation) {
  setBarColour(FromColorRef(0x00FF00));
  InstallAccessibleInterfaces();
}

CProgressCtrlX::~CProgressCtrlX() {
  if (animation_ != nullptr && stepTimer_ != 0) animation_->kill(stepTimer_);
}

void CProgressCtrlX::setCaption(const QString& caption, CaptionMode mode) {
  caption_ = caption;
  mode_ = mode;
  update();
}

QString CProgressCtrlX::captionText() const {
  if (mode_ == CaptionMode::Text) return caption_;
  return QString::fromStdString(FormatIntCaption(caption_.toStdString(), target_));
}

void CProgressCtrlX::setGradient(const QColor& top, const QColor& middle, const QColor& bottom) {
  top_ = top;
  middle_ = middle;
  bottom_ = bottom;
  update();
}

void CProgressCtrlX::setBarColour(const QColor& colour) {
  setGradient(colour, BarMiddleColour(), colour);
}

void CProgressCtrlX::setPosition(int position) {
  target_ = std::clamp(position, kMinimum, kMaximum);
  if (animation_ == nullptr) {
    shown_ = target_;
  } else if (shown_ != target_ && (stepTimer_ == 0 || !animation_->isActive(stepTimer_))) {
    stepTimer_ = animation_->startRepeating(kAnimationStepMs, [this] { step(); });
  }
  update();
}

// A quarter of the way each step (at least one unit), so a long move still looks quick.
void CProgressCtrlX::step() {
  const int distance = target_ - shown_;
  if (distance == 0) {
    animation_->kill(stepTimer_);
    stepTimer_ = 0;
    return;
  }
  const int move = std::max(1, std::abs(distance) / 4);
  shown_ += distance > 0 ? move : -move;
  update();
}

int CProgressCtrlX::filledWidth() const {
  const int inner = std::max(0, width() - 2);
  return inner * shown_ / kMaximum;
}

QSize CProgressCtrlX::sizeHint() const {
  const QFontMetrics metrics(font());
  return QSize(std::max(120, metrics.horizontalAdvance(captionText()) + 12), metrics.height() + 6);
}

void CProgressCtrlX::paintEvent(QPaintEvent* event) {
  (void)event;
  QPainter painter(this);
  const QRect frame = rect().adjusted(0, 0, -1, -1);
  painter.fillRect(rect(), palette().base());
  const QRect inner = rect().adjusted(1, 1, -1, -1);
  const int filled = filledWidth();
  if (filled > 0) {
    QLinearGradient gradient(inner.topLeft(), inner.bottomLeft());
    gradient.setColorAt(0.0, top_);
    gradient.setColorAt(0.5, middle_);
    gradient.setColorAt(1.0, bottom_);
    painter.fillRect(QRect(inner.left(), inner.top(), filled, inner.height()), gradient);
  }
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(frame);
  painter.setPen(palette().color(QPalette::Text));
  painter.drawText(inner, Qt::AlignCenter, captionText());
}

}  // namespace ov
