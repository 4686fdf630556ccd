#pragma once
#include <QPointer>

class QDialog;
class QWidget;

// A window must never be deleted while a modal loop runs on its behalf: the page that opened a
// message box or a file dialog is still on the stack below that loop and resumes after it
// returns. Modal loops run through RunModal (or inside a ModalLoopScope) are counted on the
// top-level window of their owner, and DestroyWhenNoModalLoop defers the deletion until the count
// is back at zero and control has returned to the event loop.
namespace ov {

// Counts one modal loop on `owner`'s top-level window for the scope's lifetime. A null owner
// counts nowhere.
class ModalLoopScope {
 public:
  explicit ModalLoopScope(QWidget* owner);
  ~ModalLoopScope();
  ModalLoopScope(const ModalLoopScope&) = delete;
  ModalLoopScope& operator=(const ModalLoopScope&) = delete;

 private:
  QPointer<QWidget> window_;
};

// Modal loops now running on behalf of `widget`'s top-level window.
int ModalLoopDepth(const QWidget* widget);

// Runs the dialog modally, counted on its parent's window. Returns the dialog's result, or
// `resultWhenDeleted` when the dialog was deleted while it ran.
int RunModal(QDialog* dialog, int resultWhenDeleted = 0);

// Hides the window and deletes it once no counted modal loop runs on its behalf. The modal
// dialogs open inside it are rejected, so their loops unwind; their callers resume on a live
// window and the deletion follows when control is back in the event loop. Safe to call again.
void DestroyWhenNoModalLoop(QWidget* window);

// True from DestroyWhenNoModalLoop until the window is gone.
bool DestructionPending(const QWidget* window);

}  // namespace ov
