#pragma once
#include <QIcon>
#include <QToolButton>

// One button of a page bar: a label, and an icon above it unless the bar is in its text-only
// form. Every button draws its icon and label at the same places, so the labels of a bar line up
// whatever the icon or the text. A page button stays selected while its page is shown (a pale
// amber face with an amber mark along its bottom); command buttons spring back. The accent scheme
// draws a button in its own colours (the bar's odd one out); selected, it keeps them and gets the
// same amber mark, so selection never looks like the accent. Assistive technology reads a page
// button as a page tab, selected while its page is shown (widgets/accessibility.h).
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
  // A button that only fills the bar: assistive technology reads it as blank space.
  void setDecorative(bool decorative) { decorative_ = decorative; }
  bool decorative() const { return decorative_; }

  // The colours of the two schemes and of the selection.
  static QColor AccentFace();
  static QColor SelectedFace();
  static QColor SelectedMark();
  static constexpr int kSelectedMarkHeight = 4;
  static constexpr int kIconTop = 6;

 protected:
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void applyFace();
  bool FocusNeighbour(bool right);
  QFont FittingFont(int width, bool oneLine) const;

  QIcon icon_;
  bool textOnly_ = false;
  bool iconWhenDisabled_ = true;
  bool accent_ = false;
  bool decorative_ = false;
};

}  // namespace ov
