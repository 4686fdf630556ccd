#pragma once
#include <QWidget>
#include <array>
#include <cstdint>

class QCheckBox;
class QRadioButton;

// CPageProfileSSODlg, the single-sign-on sub-page of the 802.1X tab: whether the profile is
// used at logon, with machine authentication, before or after the logon. The three settings are
// the profile's "SSOInfoInProf" bits (enabled, machine or user, after logon).
namespace ov {

inline constexpr int IDD_PAGE_PROFILE_SSO = 312;

class CPageProfileSSODlg : public QWidget {
  Q_OBJECT

 public:
  explicit CPageProfileSSODlg(QWidget* parent = nullptr);

  // Bits 0..2 from the controls; others are never set.
  uint32_t Flags() const;
  // Shows bits 0..2 of `flags`.
  void SetFlags(uint32_t flags);

  QCheckBox* EnableBox() const { return enable_; }
  QCheckBox* MachineBox() const { return machine_; }
  QRadioButton* LogonTypeRadio(int type) const { return logonTypes_[static_cast<size_t>(type)]; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The other settings mean something only for a profile used at logon.
  void UpdateEnabling();

  QCheckBox* enable_ = nullptr;
  QCheckBox* machine_ = nullptr;
  std::array<QRadioButton*, 2> logonTypes_{};
};

}  // namespace ov
