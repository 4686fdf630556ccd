#include "profilepages/page_profile_sso.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

#include "nativewifi/station_profile.h"
#include "profilepages/profile_editor_controls.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/ui_text.h"

namespace ov {

CPageProfileSSODlg::CPageProfileSSODlg(QWidget* parent) : QWidget(parent) {
  setObjectName(ControlName(IDD_PAGE_PROFILE_SSO));
  enable_ = new QCheckBox(UiText(IDS_PROF_SSO_ENABLE_SSO), this);
  enable_->setObjectName(ControlName(1330));
  enable_->setGeometry(0, 0, 460, 22);
  connect(enable_, &QCheckBox::clicked, this, [this] { UpdateEnabling(); });
  machine_ = new QCheckBox(UiText(IDS_PROF_SSO_ALLOW_MACHINE), this);
  machine_->setObjectName(ControlName(1350));
  machine_->setGeometry(20, 26, 440, 22);

  MakeLabel(IDS_PROF_SSO_LOGON_TYPE, QRect(0, 56, 150, 22), this)->setObjectName(ControlName(1351));
  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  line->setGeometry(150, 66, 310, 2);

  auto* group = new QButtonGroup(this);
  const LanguageKey captions[2] = {IDS_PROF_SSO_PRE_LOGON, IDS_PROF_SSO_POST_LOGON};
  for (int type = 0; type < 2; ++type) {
    auto* radio = new QRadioButton(UiText(captions[type]), this);
    radio->setObjectName(ControlName(1347 + type));
    radio->setGeometry(20 + type * 200, 84, 196, 22);
    group->addButton(radio, type);
    logonTypes_[static_cast<size_t>(type)] = radio;
  }
  SetFlags(0);
}

uint32_t CPageProfileSSODlg::Flags() const {
  uint32_t flags = 0;
  if (enable_->isChecked()) flags |= kSsoEnabled;
  if (machine_->isChecked()) flags |= kSsoMachineOrUser;
  if (logonTypes_[1]->isChecked()) flags |= kSsoAfterLogon;
  return flags;
}

void CPageProfileSSODlg::SetFlags(uint32_t flags) {
  enable_->setChecked((flags & kSsoEnabled) != 0);
  machine_->setChecked((flags & kSsoMachineOrUser) != 0);
  const bool after = (flags & kSsoAfterLogon) != 0;
  logonTypes_[0]->setChecked(!after);
  logonTypes_[1]->setChecked(after);
  UpdateEnabling();
}

void CPageProfileSSODlg::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  UpdateEnabling();
}

void CPageProfileSSODlg::UpdateEnabling() {
  const bool on = enable_->isChecked();
  machine_->setEnabled(on);
  for (QRadioButton* radio : logonTypes_) radio->setEnabled(on);
}

}  // namespace ov
