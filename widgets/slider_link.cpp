#include "widgets/slider_link.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <algorithm>

namespace ov {

namespace {

// The edit's number; empty or out of int reach reads as the nearest end.
int ReadNumber(const QString& text) {
  bool ok = false;
  const qlonglong number = text.toLongLong(&ok);
  if (!ok) return text.isEmpty() ? 0 : std::numeric_limits<int>::max();
  return static_cast<int>(std::clamp<qlonglong>(number, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

}  // namespace

SliderLink::SliderLink(QWidget* parent) : QWidget(parent) {
  slider_ = new QSlider(Qt::Horizontal, this);
  edit_ = new QLineEdit(this);
  edit_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), edit_));
  edit_->setMaximumWidth(64);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(slider_, 1);
  layout->addWidget(edit_);
  connect(slider_, &QSlider::valueChanged, this, &SliderLink::onSliderMoved);
  connect(edit_, &QLineEdit::textEdited, this, &SliderLink::onTextEdited);
  connect(edit_, &QLineEdit::editingFinished, this, &SliderLink::onEditFinished);
  edit_->setText(QString::number(slider_->value()));
}

void SliderLink::setRange(int minimum, int maximum) {
  slider_->setRange(minimum, maximum);
  edit_->setText(QString::number(slider_->value()));
}

void SliderLink::setSteps(int lineStep, int pageStep) {
  slider_->setSingleStep(lineStep);
  slider_->setPageStep(pageStep);
}

void SliderLink::setValue(int value) {
  slider_->setValue(value);
  edit_->setText(QString::number(slider_->value()));
}

int SliderLink::value() const { return slider_->value(); }

void SliderLink::onSliderMoved(int value) {
  if (!syncing_) edit_->setText(QString::number(value));
  emit valueChanged(value);
}

void SliderLink::onTextEdited(const QString& text) {
  int number = ReadNumber(text);
  if (number > slider_->maximum()) {
    number = slider_->maximum();
    edit_->setText(QString::number(number));
  }
  syncing_ = true;
  slider_->setValue(std::max(number, slider_->minimum()));
  syncing_ = false;
}

void SliderLink::onEditFinished() {
  edit_->setText(QString::number(std::clamp(ReadNumber(edit_->text()), slider_->minimum(),
                                            slider_->maximum())));
  syncing_ = true;
  slider_->setValue(ReadNumber(edit_->text()));
  syncing_ = false;
}

}  // namespace ov
