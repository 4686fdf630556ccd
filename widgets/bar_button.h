#pragma once
#include <QIcon>
#include <QToolButton>

// One button of a page bar: a label, and an icon above it unless the bar is in its text-only
// form. A page button stays pressed while its page is shown; command buttons spring back. The
// accent scheme draws a button in its own colours (the bar's odd one out).
namespace ov {

class BarButton : public QToolButton {
  Q_OBJECT

 public:
  explicit BarButton(QWidget* parent = nullptr);

  // The face: `icon` is kept even while hidden, so switching the form back restores it.
  void setFace(const QString& label, const QIcon& icon);
  void setTextOnly(bool textOnly);
  bool textOnly() const { return textOnly_; }
  // A disabled button can be told to drop its icon (the bar's scroll arrows do).
  void setIconWhenDisabled(bool show);
  void setAccent(bool accent);
  bool accent() const { return accent_; }

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void applyFace();

  QIcon icon_;
  bool textOnly_ = false;
  bool iconWhenDisabled_ = true;
  bool accent_ = false;
};

}  // namespace ov
