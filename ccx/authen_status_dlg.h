#pragma once
#include <functional>

#include "ccx/status_log.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/page_contract.h"

class QLabel;
class QPushButton;
class QTreeWidget;

// CAuthenStatusDlg, lower panel 5: a time-stamped log of the CCX diagnostic test's steps under the
// adapter's name and the active profile. OK goes back to the link status; Cancel also stops a
// running test. Either empties the log.
namespace ov {

inline constexpr int IDD_AUTHEN_STATUS_DLG = 2244;
inline constexpr int IDC_AUTHEN_OK = 1144;
inline constexpr int IDC_AUTHEN_CANCEL = 1145;
inline constexpr int IDC_AUTHEN_ADAPTER = 4283;
inline constexpr int IDC_AUTHEN_PROFILE = 1005;

class CAuthenStatusDlg : public PageWidget {
  Q_OBJECT

 public:
  // Local wall-clock milliseconds (since the epoch, shifted by the zone's offset).
  using WallClock = std::function<int64_t()>;

  CAuthenStatusDlg(const PageContext& context, QWidget* parent, WallClock clock = {});

  // The log is kept across shows; only the buttons and initialisation empty it.
  void LoadValues() override {}

  void AddLogLine(const QString& text);
  void ReloadHeader();
  void OnOk();
  void OnCancel();

  const StatusLog& Log() const { return log_; }
  int LogLineCount() const { return lineCount_; }
  QTreeWidget* List() const { return list_; }
  QLabel* AdapterLabel() const { return adapter_; }
  QLabel* ProfileLabel() const { return profile_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

 private:
  WallClock clock_;
  StatusLog log_;
  int lineCount_ = 0;
  QTreeWidget* list_ = nullptr;
  QLabel* adapter_ = nullptr;
  QLabel* profile_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

QWidget* MakeAuthenStatusPanel(const PageContext& context, QWidget* parent);

}  // namespace ov
