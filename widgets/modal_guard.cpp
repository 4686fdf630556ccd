#include "widgets/modal_guard.h"

#include <QDialog>
#include <QMetaObject>
#include <QVariant>
#include <QWidget>

namespace ov {

namespace {

constexpr char kDepthProperty[] = "ov.modalDepth";
constexpr char kPendingProperty[] = "ov.destroyPending";

QWidget* TopLevel(QWidget* widget) { return widget ? widget->window() : nullptr; }

int Depth(const QWidget* window) {
  return window ? window->property(kDepthProperty).toInt() : 0;
}

// Queued, so it runs from the event loop after the frame that ended the last modal loop has
// returned; deleteLater then adds Qt's own rule that a deferred delete waits for its loop level.
void ScheduleDeletion(QWidget* window) {
  QPointer<QWidget> guard(window);
  QMetaObject::invokeMethod(
      window,
      [guard] {
        if (guard && Depth(guard) == 0) guard->deleteLater();
      },
      Qt::QueuedConnection);
}

}  // namespace

ModalLoopScope::ModalLoopScope(QWidget* owner) : window_(TopLevel(owner)) {
  if (window_) window_->setProperty(kDepthProperty, Depth(window_) + 1);
}

ModalLoopScope::~ModalLoopScope() {
  if (!window_) return;
  const int depth = Depth(window_) - 1;
  window_->setProperty(kDepthProperty, depth > 0 ? depth : 0);
  if (depth <= 0 && DestructionPending(window_)) ScheduleDeletion(window_);
}

int ModalLoopDepth(const QWidget* widget) {
  return widget ? Depth(widget->window()) : 0;
}

int RunModal(QDialog* dialog, int resultWhenDeleted) {
  if (dialog == nullptr) return resultWhenDeleted;
  QPointer<QDialog> guard(dialog);
  ModalLoopScope scope(dialog->parentWidget());
  const int result = dialog->exec();
  return guard ? result : resultWhenDeleted;
}

void DestroyWhenNoModalLoop(QWidget* window) {
  if (window == nullptr) return;
  window = window->window();
  const bool already = DestructionPending(window);
  window->setProperty(kPendingProperty, true);
  window->hide();
  if (already) return;
  if (Depth(window) == 0) {
    ScheduleDeletion(window);
    return;
  }
  // Unwind the loops: each caller sees its dialog rejected and returns on a live window.
  for (QDialog* dialog : window->findChildren<QDialog*>()) {
    if (dialog->isVisible() && dialog->isModal()) dialog->reject();
  }
}

bool DestructionPending(const QWidget* window) {
  return window && window->window()->property(kPendingProperty).toBool();
}

}  // namespace ov
