#include "profilepages/page_auth_encry.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include "nativewifi/station_profile.h"
#include "profilepages/profile_editor_controls.h"
#include "shell/ui/page_contract.h"
#include "shell/ui/ui_text.h"
#include "widgets/accessibility.h"
#include "widgets/filtering_edit.h"
#include "widgets/info_wnd.h"

namespace ov {
namespace {

// Menu commands of the drop-downs.
constexpr int kAuthCommands[kAuthChoiceCount] = {32776, 32785, 32802, 32803, 32804, 32805,
                                                 32806, 32811, 32890, 32904, 32895, 32896};
constexpr int kCipherCommands[kCipherChoiceCount] = {32812, 32813, 32814, 32815,
                                                     32894, 32900, 32901};

LanguageKey AuthCaption(AuthChoice a) {
  static constexpr LanguageKey kCaptions[kAuthChoiceCount] = {
      IDS_OPENSYSTEM, IDS_SHARED, IDS_LEAP,   IDS_WPA,   IDS_WPAPSK, IDS_WPA2,
      IDS_WPA2PSK,    IDS_WPANONE, IDS_WAPIPSK, IDS_WAPICA, IDS_CCKM, IDS_CCX};
  return kCaptions[static_cast<int>(a)];
}

LanguageKey CipherCaption(CipherChoice c) {
  static constexpr LanguageKey kCaptions[kCipherChoiceCount] = {
      IDS_NONE, IDS_WEP, IDS_TKIP, IDS_AES, IDS_SMS4, IDS_TKIP_MFP, IDS_AES_MFP};
  return kCaptions[static_cast<int>(c)];
}

}  // namespace

CPageAuthEncryDlg::CPageAuthEncryDlg(bool hostedByEditor, TimerService* timers, Inputs inputs,
                                     QWidget* parent)
    : QWidget(parent), hostedByEditor_(hostedByEditor), inputs_(std::move(inputs)) {
  setFont(PageFont());
  BuildLayout();
  if (timers) note_ = new CInfoWnd(*timers, this);
  state_ = ResetAuthEncry(hostedByEditor_);
  ShowState();
}

CPageAuthEncryDlg::~CPageAuthEncryDlg() = default;

void CPageAuthEncryDlg::BuildLayout() {
  authLabel_ = MakeLabel(IDS_AUTHTYPE, QRect(8, 6, 150, 22), this);
  authButton_ = MakeDropDown(QRect(160, 4, 150, 26), &authMenu_, this);
  cipherLabel_ = MakeLabel(IDS_ENCRYP_TYPE, QRect(330, 6, 140, 22), this);
  cipherButton_ = MakeDropDown(QRect(470, 4, 150, 26), &cipherMenu_, this);

  // Every choice the page knows has a command; LEAP, WPA-None and CCX are not offered in the
  // menu (a stored profile or a surveyed network brings them).
  for (int i = 0; i < kAuthChoiceCount; ++i) {
    const auto choice = static_cast<AuthChoice>(i);
    const bool offered = choice != AuthChoice::Leap && choice != AuthChoice::WpaNone &&
                         choice != AuthChoice::Ccx;
    QAction* action = authMenu_->addAction(UiText(AuthCaption(choice)));
    action->setData(kAuthCommands[i]);
    action->setVisible(offered);
    connect(action, &QAction::triggered, this, [this, choice] { ChooseAuth(choice); });
  }
  for (int i = 0; i < kCipherChoiceCount; ++i) {
    const auto choice = static_cast<CipherChoice>(i);
    QAction* action = cipherMenu_->addAction(UiText(CipherCaption(choice)));
    action->setData(kCipherCommands[i]);
    connect(action, &QAction::triggered, this, [this, choice] { ChooseCipher(choice); });
  }
  connect(authMenu_, &QMenu::aboutToShow, this, &CPageAuthEncryDlg::EnableAuthMenu);
  connect(cipherMenu_, &QMenu::aboutToShow, this, &CPageAuthEncryDlg::EnableCipherMenu);

  use8021X_ = new QCheckBox(UiText(IDS_USE8021X), this);
  use8021X_->setGeometry(8, 34, 200, 22);
  connect(use8021X_, &QCheckBox::clicked, this, [this](bool checked) {
    ReadControls();
    Click8021X(state_, checked);
    ShowState();
  });

  pskLabel_ = MakeLabel(IDS_WPAWPAPSK, QRect(220, 34, 120, 22), this);
  psk_ = new FilteringEdit(CharacterClass::Any, this);
  psk_->setGeometry(340, 32, 300, 26);
  psk_->setMaxLength(static_cast<int>(kPreSharedKeyMaxLength));
  wapiFormat_ = new QPushButton(this);
  wapiFormat_->setGeometry(650, 32, 118, 26);
  auto* wapiMenu = new QMenu(wapiFormat_);
  wapiMenu->addAction(UiText(IDS_ASCII), this, [this] { ChooseWapiKeyFormat(false); })->setData(32913);
  wapiMenu->addAction(UiText(IDS_HEXA), this, [this] { ChooseWapiKeyFormat(true); })->setData(32912);
  wapiFormat_->setMenu(wapiMenu);

  showPassword_ = new QCheckBox(UiText(IDS_SHOW_PASSWORD), this);
  showPassword_->setGeometry(8, 60, 200, 22);
  connect(showPassword_, &QCheckBox::clicked, this, [this] {
    ReadControls();
    ApplyEchoModes();
  });

  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  line->setGeometry(8, 86, 760, 4);
  keySeparator_ = line;

  keyGroup_ = new QButtonGroup(this);
  static constexpr LanguageKey kKeyLabels[4] = {IDS_AUTH_KEY1, IDS_AUTH_KEY2, IDS_AUTH_KEY3,
                                                IDS_AUTH_KEY4};
  for (int k = 0; k < 4; ++k) {
    const int x = k % 2 == 0 ? 8 : 392;
    const int y = k < 2 ? 94 : 124;
    keyRadios_[k] = new QRadioButton(UiText(kKeyLabels[k]), this);
    keyRadios_[k]->setGeometry(x, y, 112, 26);
    keyGroup_->addButton(keyRadios_[k], k);
    QMenu* menu = nullptr;
    keyFormat_[k] = MakeDropDown(QRect(x + 114, y, 104, 26), &menu, this);
    menu->addAction(UiText(IDS_HEXA), this, [this, k] { ChooseKeyFormat(k, true); });
    menu->addAction(UiText(IDS_ASCII), this, [this, k] { ChooseKeyFormat(k, false); });
    keyEdits_[k] = new FilteringEdit(CharacterClass::Hex, this);
    keyEdits_[k]->setGeometry(x + 222, y, 150, 26);
    keyEdits_[k]->setAccessibleName(WithoutMnemonic(UiText(kKeyLabels[k])));
  }
  connect(keyGroup_, &QButtonGroup::idClicked, this, [this](int k) {
    ReadControls();
    SelectKey(state_, k);
    ShowState();
  });

  static constexpr LanguageKey kLeapLabels[3] = {IDS_AUTH_ID, IDS_AUTH_PASSWORD, IDS_DOMAIN_NAME};
  for (int i = 0; i < 3; ++i) leapLabels_[i] = MakeLabel(kLeapLabels[i], QRect(8, 36 + 28 * i, 150, 22), this);
  leapUser_ = new QLineEdit(this);
  leapUser_->setGeometry(160, 34, 300, 26);
  leapPassword_ = new QLineEdit(this);
  leapPassword_->setGeometry(160, 62, 300, 26);
  leapDomain_ = new QLineEdit(this);
  leapDomain_->setGeometry(160, 90, 300, 26);
  for (QLineEdit* e : {leapUser_, leapPassword_, leapDomain_})
    e->setMaxLength(static_cast<int>(kLeapTextMaxLength));
  leapGroup_ = new QButtonGroup(this);
  static constexpr LanguageKey kLeapRadios[3] = {IDS_LEAP_WEP, IDS_LEAP_WPA_TKIP, IDS_LEAP_WPA2_AES};
  for (int i = 0; i < 3; ++i) {
    leapRadios_[i] = new QRadioButton(UiText(kLeapRadios[i]), this);
    leapRadios_[i]->setGeometry(160 + 130 * i, 122, 125, 24);
    leapGroup_->addButton(leapRadios_[i], i);
  }
}

uint32_t& CPageAuthEncryDlg::EapMethod() {
  return inputs_.eapMethod ? inputs_.eapMethod() : ownEapMethod_;
}

void CPageAuthEncryDlg::ReadControls() {
  state_.use8021X = use8021X_->isChecked();
  state_.keyIndex = std::max(0, keyGroup_->checkedId());
  for (int k = 0; k < 4; ++k) state_.keys[k] = keyEdits_[k]->text().toStdString();
  state_.psk = psk_->text().toStdString();
  state_.showPassword = showPassword_->isChecked();
  state_.leapUserName = leapUser_->text().toStdString();
  state_.leapPassword = leapPassword_->text().toStdString();
  state_.leapDomainName = leapDomain_->text().toStdString();
  state_.leapEncryption = std::max(0, leapGroup_->checkedId());
}

void CPageAuthEncryDlg::ShowState() {
  const AuthEncryState& s = state_;
  authButton_->setText(UiText(AuthCaption(s.auth)));
  cipherButton_->setText(UiText(CipherCaption(s.cipher)));
  use8021X_->setChecked(s.use8021X);
  for (int k = 0; k < 4; ++k) {
    keyRadios_[k]->setChecked(k == s.keyIndex);
    // Only key 1 can be used in ad hoc; within the enabled set only the selected key is live.
    keyRadios_[k]->setEnabled(s.keysEnabled && (s.infrastructure || k == 0));
    keyFormat_[k]->setEnabled(s.keysEnabled && k == s.keyIndex);
    keyEdits_[k]->setEnabled(s.keysEnabled && k == s.keyIndex);
    if (keyEdits_[k]->text().toStdString() != s.keys[k])
      keyEdits_[k]->setText(QString::fromStdString(s.keys[k]));
  }
  if (psk_->text().toStdString() != s.psk) psk_->setText(QString::fromStdString(s.psk));
  psk_->setEnabled(s.pskEnabled);
  wapiFormat_->setText(UiText(s.wapiKeyHex ? IDS_HEXA : IDS_ASCII));
  showPassword_->setChecked(s.showPassword);
  leapUser_->setText(QString::fromStdString(s.leapUserName));
  leapPassword_->setText(QString::fromStdString(s.leapPassword));
  leapDomain_->setText(QString::fromStdString(s.leapDomainName));
  leapRadios_[std::clamp(s.leapEncryption, 0, 2)]->setChecked(true);

  // The LEAP layout replaces everything below the authentication button.
  const bool leap = s.leap;
  cipherLabel_->setVisible(!leap);
  cipherButton_->setVisible(!leap);
  use8021X_->setVisible(!leap && s.use8021XShown);
  pskLabel_->setVisible(!leap);
  psk_->setVisible(!leap);
  wapiFormat_->setVisible(!leap && s.wapiKeyTypeShown);
  keySeparator_->setVisible(!leap);
  for (int k = 0; k < 4; ++k) {
    keyRadios_[k]->setVisible(!leap);
    keyFormat_[k]->setVisible(!leap);
    keyEdits_[k]->setVisible(!leap);
  }
  for (QWidget* w : {static_cast<QWidget*>(leapUser_), static_cast<QWidget*>(leapPassword_),
                     static_cast<QWidget*>(leapDomain_)})
    w->setVisible(leap);
  for (QLabel* l : leapLabels_) l->setVisible(leap);
  for (QRadioButton* r : leapRadios_) r->setVisible(leap);

  const bool option = inputs_.showPasswordOption && inputs_.showPasswordOption();
  showPassword_->setVisible(option);
  ApplyKeyFormats();
  ApplyEchoModes();
  emit tabsChanged(s.tab8021XEnabled, s.tabWapiEnabled);
}

void CPageAuthEncryDlg::ApplyKeyFormats() {
  for (int k = 0; k < 4; ++k) {
    const bool hex = state_.keyHex[k] != 0;
    keyFormat_[k]->setText(UiText(hex ? IDS_HEXA : IDS_ASCII));
    keyEdits_[k]->setCharacterClass(hex ? CharacterClass::Hex : CharacterClass::PrintableAscii);
    keyEdits_[k]->setMaxLength(static_cast<int>(hex ? kWepHexKeyMaxLength : kWepAsciiKeyMaxLength));
  }
  psk_->setCharacterClass(state_.auth == AuthChoice::WapiPsk && state_.wapiKeyHex
                              ? CharacterClass::Hex
                              : CharacterClass::Any);
}

void CPageAuthEncryDlg::ApplyEchoModes() {
  const bool option = inputs_.showPasswordOption && inputs_.showPasswordOption();
  const bool plain = option && state_.showPassword;
  const auto mode = plain ? QLineEdit::Normal : QLineEdit::Password;
  for (FilteringEdit* e : keyEdits_) e->setEchoMode(mode);
  psk_->setEchoMode(mode);
  leapPassword_->setEchoMode(mode);
}

void CPageAuthEncryDlg::EnableAuthMenu() {
  ReadControls();
  const SecurityContext context = inputs_.context ? inputs_.context() : SecurityContext{};
  const auto on = AuthMenuEnabled(state_, context);
  const auto actions = authMenu_->actions();
  for (int i = 0; i < kAuthChoiceCount && i < actions.size(); ++i) {
    actions[i]->setEnabled(on[i]);
    const auto choice = static_cast<AuthChoice>(i);
    if (choice == AuthChoice::WapiPsk || choice == AuthChoice::WapiCa)
      actions[i]->setVisible(context.wapiSupported);
  }
}

void CPageAuthEncryDlg::EnableCipherMenu() {
  ReadControls();
  const SecurityContext context = inputs_.context ? inputs_.context() : SecurityContext{};
  const auto on = CipherMenuEnabled(state_);
  const auto actions = cipherMenu_->actions();
  for (int i = 0; i < kCipherChoiceCount && i < actions.size(); ++i) {
    actions[i]->setEnabled(on[i]);
    if (static_cast<CipherChoice>(i) == CipherChoice::Sms4)
      actions[i]->setVisible(context.wapiSupported);
  }
}

void CPageAuthEncryDlg::ChooseAuth(AuthChoice choice) {
  ReadControls();
  ApplyAuthChoice(state_, choice, EapMethod());
  ShowState();
}

void CPageAuthEncryDlg::ChooseCipher(CipherChoice choice) {
  ReadControls();
  ApplyCipherChoice(state_, choice);
  ShowState();
}

void CPageAuthEncryDlg::ChooseKeyFormat(int key, bool hex) {
  if (key < 0 || key > 3) return;
  ReadControls();
  state_.keyHex[key] = hex ? 1 : 0;
  // A key typed in the other format no longer fits its edit's rules.
  state_.keys[key].clear();
  ShowState();
}

void CPageAuthEncryDlg::ChooseWapiKeyFormat(bool hex) {
  ReadControls();
  state_.wapiKeyHex = hex ? 1 : 0;
  ShowState();
}

void CPageAuthEncryDlg::ResetForAdd() {
  state_ = ResetAuthEncry(hostedByEditor_);
  ShowState();
}

void CPageAuthEncryDlg::ReapplyLoaded(const AuthEncryState& loaded) {
  state_ = loaded;
  state_.hostedByEditor = hostedByEditor_;
  ReapplyLoadedChoices(state_, EapMethod());
  ShowState();
}

void CPageAuthEncryDlg::PresetFromSurvey(const SurveyedSecurity& network, bool requirePrivacy) {
  const SecurityContext context = inputs_.context ? inputs_.context() : SecurityContext{};
  state_ = ov::PresetFromSurvey(network, context, hostedByEditor_, requirePrivacy, EapMethod());
  ShowState();
}

void CPageAuthEncryDlg::SetInfrastructure(bool infrastructure) {
  ReadControls();
  ov::SetInfrastructure(state_, infrastructure);
  ShowState();
}

const AuthEncryState& CPageAuthEncryDlg::Fields() {
  ReadControls();
  return state_;
}

bool CPageAuthEncryDlg::Validate() {
  ReadControls();
  const SecurityCheck check = ValidateAuthEncry(state_, EapMethod());
  ShowState();
  if (check.bringSecurityTabForward) emit bringForward();
  if (check.ok) return true;
  QLineEdit* field = psk_;
  if (check.field >= SecurityField::Key1 && check.field <= SecurityField::Key4) {
    const int k = static_cast<int>(check.field) - static_cast<int>(SecurityField::Key1);
    field = keyEdits_[k];
    field->setMaxLength(static_cast<int>(check.keyLimit));
  }
  field->setFocus();
  const QString text = check.messageKey ? UiText(*check.messageKey)
                                        : QString::fromStdString(check.note);
  if (note_) note_->ShowNear(field, text);
  return false;
}

void CPageAuthEncryDlg::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ReadControls();
  // With 802.1X set the keys are only for MD5-Challenge.
  if (state_.use8021X) state_.keysEnabled = EapMethod() == kEapMethodMd5;
  ShowState();
}

}  // namespace ov
