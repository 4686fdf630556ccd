#pragma once
#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

// The program's own message box: every message a page shows goes through ShowMessage, and the
// monitor keeps one instance as its modeless notice window.
namespace ov {

class CMessageBoxDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CMessageBoxDlg(QWidget* parent = nullptr);

  // The message field, shown in control 3216.
  void SetMessage(const QString& text);
  QString Message() const;
  // Centred over its parent's window, or over the desktop when it has none.
  void CenterOverOwner();

  // OK ends with 1; closing any other way ends with 2.
  void accept() override;
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLabel* text_ = nullptr;
  QPushButton* ok_ = nullptr;
};

// A modal CMessageBoxDlg with `text` over `parent`: 1 for OK, 2 otherwise (also when the box
// was taken down with its window). The modal loop is counted on the parent's window, so that
// window is not deleted under it. While it is up, the bound busy flag (the monitor's Busy) is
// held set, so callers need not hold it themselves.
int ShowMessage(const QString& text, QWidget* parent = nullptr);

// The process-wide flag ShowMessage holds: the monitor window binds its Busy flag for its
// lifetime. Unbinding is ignored unless `busy` is the bound flag.
void BindMessageBusyFlag(bool* busy);
void UnbindMessageBusyFlag(const bool* busy);

}  // namespace ov
