#pragma once
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "profilepages/profile_list_rules.h"
#include "shell/ui/page_contract.h"

class QIcon;
class QLabel;
class QPushButton;
class QTableView;

// CPageProfileDlg, the Profile tab: the stored station profiles with their state, security and
// network-type images, the details of the selected one, and Add, Edit, Delete, Apply (activation),
// Import and Export. The active row's image follows the link every 3 seconds while shown.
namespace ov {

class ActionQueue;
class VirtualListModel;

// Control ids of the page's template.
inline constexpr int IDC_PROFILE_LIST_CAPTION = 1127;
inline constexpr int IDC_PROFILE_LIST = 1024;
inline constexpr int IDC_PROF_ADD = 1133;
inline constexpr int IDC_PROF_EDIT = 1134;
inline constexpr int IDC_PROF_DEL = 1135;
inline constexpr int IDC_PROF_ACTIVATE = 1136;
inline constexpr int IDC_PROF_IMPORT = 1147;
inline constexpr int IDC_PROF_EXPORT = 1148;
// The value controls of the details pane, in ProfileDetails' order.
inline constexpr std::array<int, 11> kProfileDetailValueIds = {1129, 1131, 1037, 1076, 1077, 1140,
                                                               1142, 1031, 1138, 1144, 1146};

inline constexpr uint32_t kActiveIconPeriodMs = 3000;

// The list's image `image` (16 px, drawn for this project); an empty icon for a number the list
// does not use. Made once.
const QIcon& ProfileImage(int image);

// The file choices and the overwrite question, a seam so that tests give paths and answers.
struct ProfileFileDialogs {
  // An existing "*.prof" file to import; none when the user cancels.
  std::function<std::optional<std::string>(QWidget* parent)> importPath;
  // A file to export into; none when the user cancels.
  std::function<std::optional<std::string>(QWidget* parent)> exportPath;
  // "Replace the existing file?": true for OK.
  std::function<bool(const QString& question, QWidget* parent)> confirmOverwrite;
};

// The desktop's file dialogs (filter "PROF (*.prof)", default suffix "prof") and an OK/Cancel
// box, each run modally under the window's modal guard.
ProfileFileDialogs DesktopProfileFileDialogs();

class CPageProfileDlg : public PageWidget {
  Q_OBJECT

 public:
  CPageProfileDlg(const PageContext& context, QWidget* parent);
  ~CPageProfileDlg() override;

  void LoadValues() override;
  void Refresh() override { UpdateActiveIcon(); }
  uint32_t RefreshPeriodMs() const override { return kActiveIconPeriodMs; }
  void OnMonitorMessage(const Message& message) override;

  // Re-reads the store: the rows, the active one, and the buttons' state.
  void RefreshList();
  void ShowDetails();
  void UpdateActiveIcon();
  // Apply of `row`: records it as the active profile and applies it through the action queue.
  void ActivateProfile(size_t row);
  // The default name of a new profile.
  std::string NextDefaultProfileName() const;

  void OnAdd();
  void OnEdit();
  void OnDelete();
  void OnApply();
  void OnImport();
  void OnExport();

  void SetFileDialogs(ProfileFileDialogs dialogs) { dialogs_ = std::move(dialogs); }

  const std::vector<ProfileRow>& Rows() const { return rows_; }
  const std::string& CurrentName() const { return currentName_; }
  // Another page made `name` the adapter's profile (single sign-on's Apply).
  void SetCurrentName(const std::string& name) { currentName_ = name; }
  bool EapBusy() const { return eapBusy_; }
  QTableView* List() const { return list_; }
  QPushButton* Button(int controlId) const;
  QLabel* DetailValue(size_t index) const { return detailValues_[index]; }
  std::optional<size_t> SelectedRow() const;
  void SelectRow(std::optional<size_t> row);

 private:
  class ProfileRowSource;

  bool MayChangeProfiles() const;
  ActionQueue* Queue() const;
  std::optional<size_t> TargetOrComplain();
  void SetButtons(bool edit, bool del, bool apply, bool exportEnabled);
  void ApplyRights();
  void ClearDetails();
  void ShowDetailsOfTarget();
  void RedrawStateColumn();
  DeleteContext MakeDeleteContext();
  void ShowConnectFailure();

  std::vector<ProfileRow> rows_;
  std::string currentName_;
  bool eapBusy_ = false;
  // The profile Apply sent to the service whose connection has neither come up nor failed yet:
  // its failure is told once, with the service's reason.
  std::optional<std::string> connectAwaited_;
  bool showActiveIcon_ = true;  // [Advance] "ActiveProfileIcon"
  ProfileFileDialogs dialogs_;
  std::unique_ptr<ProfileRowSource> source_;
  VirtualListModel* model_ = nullptr;
  QTableView* list_ = nullptr;
  std::array<QLabel*, 11> detailValues_{};
  QPushButton* add_ = nullptr;
  QPushButton* edit_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* apply_ = nullptr;
  QPushButton* import_ = nullptr;
  QPushButton* export_ = nullptr;
};

QWidget* MakeProfilePage(const PageContext& context, QWidget* parent);

}  // namespace ov
