#pragma once
#include <QString>
#include <QWidget>

// A horizontal rule with an optional caption at its left ("HT" over the link status's 802.11n
// rows, the WPS page's list captions).
namespace ov {

class Separator : public QWidget {
  Q_OBJECT

 public:
  explicit Separator(const QString& caption = QString(), QWidget* parent = nullptr);
  void setCaption(const QString& caption);
  QString caption() const { return caption_; }
  // Where the rule starts: after the caption and a gap, or at the left edge.
  int ruleStart() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
};

}  // namespace ov
