#include "widgets/info_wnd.h"

#include <QScreen>
#include <algorithm>

namespace ov {

CInfoWnd::CInfoWnd(TimerService& timers, QWidget* parent)
    : QLabel(parent, Qt::ToolTip | Qt::FramelessWindowHint), timers_(timers) {
  setTextFormat(Qt::PlainText);
  setFrameShape(QFrame::Box);
  setAutoFillBackground(true);
  setForegroundRole(QPalette::ToolTipText);
  setBackgroundRole(QPalette::ToolTipBase);
  setMargin(2);
}

CInfoWnd::~CInfoWnd() {
  if (hideTimer_ != 0) timers_.kill(hideTimer_);
}

QPoint CInfoWnd::Placement(const QRect& controlRect, const QSize& size, const QRect& screen) {
  QPoint at(controlRect.left(), controlRect.bottom() + 3);
  if (screen.isEmpty()) return at;
  // Above the control when there is no room below; never past the screen's edges.
  if (at.y() + size.height() > screen.bottom() + 1) at.setY(controlRect.top() - size.height() - 3);
  at.setX(std::clamp(at.x(), screen.left(), std::max(screen.left(), screen.right() + 1 - size.width())));
  at.setY(std::clamp(at.y(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height())));
  return at;
}

void CInfoWnd::ShowNear(QWidget* control, const QString& text) {
  control_ = control;
  setText(QLatin1Char(' ') + text + QLatin1Char(' '));
  adjustSize();
  if (control != nullptr) {
    const QRect global(control->mapToGlobal(QPoint(0, 0)), control->size());
    const QScreen* screen = control->screen();
    move(Placement(global, size(), screen ? screen->availableGeometry() : QRect()));
  }
  show();
  raise();
  if (hideTimer_ != 0) timers_.kill(hideTimer_);
  hideTimer_ = timers_.startOnce(kShowMs, [this] {
    hideTimer_ = 0;
    hide();
  });
}

}  // namespace ov
