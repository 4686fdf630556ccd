#include "ssopages/page_sso.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "profilepages/page_profile.h"
#include "shell/action_queue.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"

namespace ov {

namespace {

constexpr LanguageKey kCredentialCaptions[3] = {IDS_SSO_USE_ID_PASSWORD_IN_WINLOGON,
                                                IDS_SSO_USE_ID_PASSWORD_IN_PROFILE,
                                                IDS_SSO_PROMPT_ID_PASSWORD_DIALOG};
constexpr LanguageKey kInfoCaptions[3] = {IDS_STATIC_PROFILENAME, IDS_SSID, IDS_LINK_AUTHEN};
constexpr int kInfoValueIds[3] = {IDC_SSO_NAME_VALUE, IDC_SSO_SSID_VALUE, IDC_SSO_AUTH_VALUE};

template <class W>
W* Placed(W* widget, int id, const QRect& at) {
  widget->setObjectName(ControlName(id));
  widget->setGeometry(at);
  return widget;
}

}  // namespace

CPageSSODlg::CPageSSODlg(const PageContext& context, QWidget* parent) : PageWidget(context, parent) {
  setObjectName(ControlName(IDD_PAGE_SSO));
  setWindowTitle(UiText(IDS_TAB_SSO));
  setFont(PageFont());

  // The group boxes are frames behind their controls, not their parents: the groups are
  // enabled apart from what they frame.
  profileGroup_ = Placed(new QGroupBox(UiText(IDS_GROUP_SSO_PROFILE_LIST), this),
                         IDC_SSO_PROFILE_GROUP, QRect(16, 128, 744, 164));
  infoGroup_ = Placed(new QGroupBox(UiText(IDS_STATIC_PROFILE_INFORMATION), this),
                      IDC_SSO_INFO_GROUP, QRect(32, 192, 712, 92));

  enable_ = Placed(new QCheckBox(UiText(IDS_SSO_ENABLE_SSO_FEATURE), this), IDC_SSO_ENABLE,
                   QRect(24, 12, 720, 24));
  connect(enable_, &QCheckBox::clicked, this, [this] { OnEnableClicked(); });
  for (int i = 0; i < 3; ++i) {
    auto* radio = Placed(new QRadioButton(UiText(kCredentialCaptions[i]), this),
                         IDC_SSO_CREDENTIAL_FIRST + i, QRect(48, 44 + i * 26, 696, 24));
    connect(radio, &QRadioButton::clicked, this, [this, i] { OnCredentialClicked(i); });
    credentials_[static_cast<size_t>(i)] = radio;
  }

  profileLabel_ = Placed(new QLabel(UiText(IDS_STATIC_SELECT_PROFILE), this), IDC_SSO_PROFILE_LABEL,
                         QRect(32, 154, 160, 26));
  profiles_ = Placed(new QComboBox(this), IDC_SSO_PROFILE_LIST, QRect(196, 154, 300, 26));
  profileLabel_->setBuddy(profiles_);
  connect(profiles_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!showing_) OnProfileChanged(index);
  });
  apply_ = Placed(new QPushButton(UiText(IDS_APPLY), this), IDC_SSO_APPLY, QRect(624, 152, 120, 30));
  connect(apply_, &QPushButton::clicked, this, [this] { OnApply(); });

  QLabel* values[3] = {};
  for (int i = 0; i < 3; ++i) {
    const int y = 214 + i * 22;
    infoLabels_[static_cast<size_t>(i)] =
        Placed(new QLabel(UiText(kInfoCaptions[i]), this), 1342 + i, QRect(48, y, 170, 22));
    values[i] = Placed(new QLabel(this), kInfoValueIds[i], QRect(222, y, 510, 22));
    values[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    values[i]->setTextFormat(Qt::PlainText);
    values[i]->setAccessibleName(UiText(kInfoCaptions[i]));
  }
  nameValue_ = values[0];
  ssidValue_ = values[1];
  authValue_ = values[2];
  ShowModel();
}

const std::string& CPageSSODlg::AdapterKey() const { return State().Adapter.adapterKeyPath; }

void CPageSSODlg::LoadValues() {
  ShowSsoPage(model_, Services().registry, AdapterKey());
  ShowModel();
}

void CPageSSODlg::OnEnableClicked() {
  ClickSsoEnable(model_, enable_->isChecked(), Services().registry);
  ShowModel();
}

void CPageSSODlg::OnCredentialClicked(int source) {
  ClickCredentialSource(model_, source, Services().registry);
  ShowModel();
}

void CPageSSODlg::OnProfileChanged(int index) {
  SelectSsoProfile(model_, index, AdapterKey());
  ShowModel();
}

void CPageSSODlg::OnApply() {
  const SsoApplyResult result = ApplySso(model_, Services().registry, AdapterKey());
  if (result.applied) {
    MarkProfileApplied();
  } else if (!model_.profileName.empty()) {
    // The profile went away since the list was read: show the list as it is now.
    LoadValues();
  }
}

// The adapter's configuration changed under the monitor: its profile is a station profile now,
// and a connection the survey made is no longer the one in effect.
void CPageSSODlg::MarkProfileApplied() {
  State().Survey.ClearConnectMarks();
  if (ActionQueue* queue = Host().ActivationQueue()) queue->activation().StationProfileInUse = 1;
  if (auto* list = dynamic_cast<CPageProfileDlg*>(Window().Page(TabButton::Profile)))
    list->SetCurrentName(model_.profileName);
}

void CPageSSODlg::ShowModel() {
  showing_ = true;
  enable_->setEnabled(model_.live);
  enable_->setChecked(model_.ssoEnabled);
  for (size_t i = 0; i < credentials_.size(); ++i) {
    credentials_[i]->setChecked(static_cast<int>(i) == model_.credentialSource);
    credentials_[i]->setEnabled(model_.optionControls);
  }
  profileGroup_->setEnabled(model_.optionControls);

  profiles_->clear();
  for (const std::string& name : model_.profiles) profiles_->addItem(QString::fromStdString(name));
  profiles_->setCurrentIndex(model_.selected);
  profiles_->setEnabled(model_.listControls);
  profileLabel_->setEnabled(model_.listControls);

  nameValue_->setText(QString::fromStdString(model_.profileName));
  ssidValue_->setText(QString::fromStdString(model_.ssidValue));
  authValue_->setText(QString::fromStdString(model_.authenticationValue));
  for (QWidget* w : {static_cast<QWidget*>(apply_), static_cast<QWidget*>(infoGroup_),
                     static_cast<QWidget*>(nameValue_), static_cast<QWidget*>(ssidValue_),
                     static_cast<QWidget*>(authValue_)})
    w->setEnabled(model_.detailControls);
  for (QLabel* label : infoLabels_) label->setEnabled(model_.detailControls);
  showing_ = false;
}

QWidget* MakeSsoPage(const PageContext& context, QWidget* parent) { return new CPageSSODlg(context, parent); }

}  // namespace ov
