#pragma once
#include <QLabel>
#include <QPointer>

#include "platform/time/timer_service.h"

// CInfoWnd: the small note beside a field that a page's check puts up instead of a message box.
// It shows the text padded with one space on each side, just below the control (kept on the
// control's screen), and hides itself after 4000 ms; a new note restarts the time.
namespace ov {

class CInfoWnd : public QLabel {
  Q_OBJECT

 public:
  static constexpr uint32_t kShowMs = 4000;

  explicit CInfoWnd(TimerService& timers, QWidget* parent = nullptr);
  ~CInfoWnd() override;

  void ShowNear(QWidget* control, const QString& text);
  QWidget* control() const { return control_; }

  // Where a note of `size` goes for a control at `controlRect` (global) on `screen`.
  static QPoint Placement(const QRect& controlRect, const QSize& size, const QRect& screen);

 private:
  TimerService& timers_;
  TimerId hideTimer_ = 0;
  QPointer<QWidget> control_;
};

}  // namespace ov
