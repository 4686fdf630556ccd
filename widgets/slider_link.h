#pragma once
#include <QWidget>

class QLineEdit;
class QSlider;

// A slider with its number edit, linked both ways (the profile editor's RTS and fragmentation
// thresholds). The edit takes digits only; a number above the range becomes the maximum at once,
// one below it moves the slider to the minimum and is corrected when the edit is left.
namespace ov {

class SliderLink : public QWidget {
  Q_OBJECT

 public:
  explicit SliderLink(QWidget* parent = nullptr);

  void setRange(int minimum, int maximum);
  void setSteps(int lineStep, int pageStep);
  void setValue(int value);
  int value() const;
  QSlider* slider() const { return slider_; }
  QLineEdit* edit() const { return edit_; }

 signals:
  void valueChanged(int value);

 private:
  void onSliderMoved(int value);
  void onTextEdited(const QString& text);
  void onEditFinished();

  QSlider* slider_ = nullptr;
  QLineEdit* edit_ = nullptr;
  bool syncing_ = false;
};

}  // namespace ov
