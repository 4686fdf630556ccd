#include "wpspages/wps_profile_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <algorithm>

#include "profiles/profile_store.h"
#include "shell/action_queue.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"
#include "widgets/accessibility.h"
#include "widgets/filtering_edit.h"
#include "widgets/info_wnd.h"
#include "widgets/modal_guard.h"
#include "wps/wps_store.h"

namespace ov {

namespace {

using Choice = CPageWPSProfile::Choice;

constexpr int kSsidCharacters = 32;
constexpr int kKeyCharacters = 64;

// Two columns of name and value.
constexpr int kLeftName = 8;
constexpr int kLeftValue = 160;
constexpr int kRightName = 400;
constexpr int kRightValue = 552;
constexpr int kValueWidth = 216;
constexpr int kFirstRow = 40;
constexpr int kRowStep = 32;

QRect NameRect(int column, int row) {
  return QRect(column == 0 ? kLeftName : kRightName, kFirstRow + row * kRowStep + 2, 148, 22);
}
QRect ValueRect(int column, int row) {
  return QRect(column == 0 ? kLeftValue : kRightValue, kFirstRow + row * kRowStep, kValueWidth, 26);
}

QLabel* NameLabel(LanguageKey key, const QRect& rect, QWidget* parent) {
  auto* label = new QLabel(UiText(key), parent);
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(rect);
  return label;
}

// A value the panel shows and the user may select but not change. Names and keys come from
// the air or the driver: never read as markup (a QLineEdit never is).
QLineEdit* ValueText(QWidget* parent) {
  auto* text = new QLineEdit(parent);
  text->setReadOnly(true);
  return text;
}

// Network names and keys are kept as UTF-8 bytes, as the profile editor keeps them.
QString FromBytes(const std::string& text) { return QString::fromStdString(text); }
std::string ToBytes(const QString& text) { return text.toStdString(); }

bool AskOkCancelBox(const QString& question, QWidget* parent) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("OvUI"), question,
                  QMessageBox::Ok | QMessageBox::Cancel, parent);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Cancel);
  return RunModal(&box) == QMessageBox::Ok;
}

}  // namespace

CPageWPSProfile::CPageWPSProfile(const PageContext& context, QWidget* parent)
    : PageWidget(context, parent), ask_(AskOkCancelBox) {
  setObjectName(ControlName(IDD_WPS_PROFILE));
  setFont(PageFont());
  BuildLayout();
}

CPageWPSProfile::~CPageWPSProfile() = default;

void CPageWPSProfile::BuildLayout() {
  title_ = new QLabel(UiText(IDS_WPS_PROFILE_DETAIL), this);
  title_->setGeometry(kLeftName, 6, 380, 24);
  QFont bold = title_->font();
  bold.setBold(true);
  title_->setFont(bold);

  ok_ = new QPushButton(UiText(IDS_OK), this);
  ok_->setGeometry(612, 4, 76, 26);
  cancel_ = new QPushButton(UiText(IDS_CANCEL), this);
  cancel_->setGeometry(692, 4, 76, 26);
  for (QPushButton* button : {ok_, cancel_}) button->setAutoDefault(false);
  connect(ok_, &QPushButton::clicked, this, [this] { OnOK(); });
  connect(cancel_, &QPushButton::clicked, this, &CPageWPSProfile::OnCancel);
  SetKeyButtons(ok_, cancel_);

  NameLabel(IDS_EDITPROFILE_SSID, NameRect(0, 0), this)->setBuddy(ssid_ = new QLineEdit(this));
  ssid_->setGeometry(ValueRect(0, 0));
  ssid_->setMaxLength(kSsidCharacters);
  NameLabel(IDS_MAC_ADDRESS, NameRect(1, 0), this)->setBuddy(mac_ = ValueText(this));
  mac_->setGeometry(ValueRect(1, 0));

  constexpr LanguageKey kChoiceNames[kChoiceCount] = {IDS_AUTH_TYPE, IDS_ENCRYP_TYPE,
                                                      IDS_KEY_LENGTH, IDS_KEY_INDEX};
  for (int c = 0; c < kChoiceCount; ++c) {
    QLabel* name = NameLabel(kChoiceNames[c], NameRect(c % 2, 1 + c / 2), this);
    stacks_[c] = new QStackedWidget(this);
    stacks_[c]->setGeometry(ValueRect(c % 2, 1 + c / 2));
    combos_[c] = new QComboBox(stacks_[c]);
    texts_[c] = ValueText(stacks_[c]);
    stacks_[c]->addWidget(combos_[c]);
    stacks_[c]->addWidget(texts_[c]);
    // Only one of the two is on show; both carry the name for assistive technology.
    for (QWidget* value : {static_cast<QWidget*>(combos_[c]), static_cast<QWidget*>(texts_[c])})
      value->setAccessibleName(WithoutMnemonic(name->text()));
  }
  QComboBox* auth = combos_[static_cast<int>(Choice::Auth)];
  for (LanguageKey key : {IDS_OPENSYSTEM, IDS_WPAPSK, IDS_WPA2PSK}) auth->addItem(UiText(key));
  for (int length : kRegistrarWepKeyLengths)
    combos_[static_cast<int>(Choice::KeyLength)]->addItem(QString::number(length));
  for (int index = 1; index <= 4; ++index)
    combos_[static_cast<int>(Choice::KeyIndex)]->addItem(QStringLiteral("Key#%1").arg(index));
  connect(auth, &QComboBox::currentIndexChanged, this, [this] { OnAuthChosen(); });
  connect(combos_[static_cast<int>(Choice::Encryption)], &QComboBox::currentIndexChanged, this,
          [this] {
            if (showing_) return;
            ReadEditor();
            ApplyKeyRules();
          });
  connect(combos_[static_cast<int>(Choice::KeyLength)], &QComboBox::currentIndexChanged, this,
          [this] { OnWepLengthChosen(); });

  NameLabel(IDS_KEY_MATERIAL, NameRect(0, 3), this)->setBuddy(key_ = new FilteringEdit(CharacterClass::PrintableAscii, this));
  key_->setGeometry(ValueRect(0, 3));
  // Masked keys show "*" whatever the style's own mask character.
  key_->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
  showPassword_ = new QCheckBox(UiText(IDS_SHOW_PASSWORD), this);
  showPassword_->setGeometry(QRect(kRightName, kFirstRow + 3 * kRowStep + 2, 148, 22));
  connect(showPassword_, &QCheckBox::clicked, this, [this] { ApplyEchoMode(); });
  ascii_ = new QCheckBox(UiText(IDS_ASCII_FORMAT), this);
  ascii_->setGeometry(QRect(kRightValue, kFirstRow + 3 * kRowStep + 2, kValueWidth, 22));
  connect(ascii_, &QCheckBox::clicked, this, &CPageWPSProfile::OnAsciiClicked);

  if (TimerService* timers = Services().timers) note_ = new CInfoWnd(*timers, this);
  ShowDetail();
}

void CPageWPSProfile::ShowCredential(const WpsCredential& credential, int configMode) {
  credential_ = credential;
  editing_ = configMode == kWpsConfigRegistrar;
  if (note_) note_->hide();
  showPassword_->setChecked(false);
  if (editing_) {
    input_ = RegistrarInputFromCredential(credential);
    ShowEditor();
  } else {
    detail_ = DescribeWpsCredential(credential);
    ShowDetail();
  }
}

void CPageWPSProfile::LoadValues() { ApplyEchoMode(); }

void CPageWPSProfile::ShowDetail() {
  showing_ = true;
  ssid_->setReadOnly(true);
  ssid_->setText(FromBytes(detail_.ssid));
  mac_->setText(QString::fromStdString(detail_.mac));
  const std::string* texts[kChoiceCount] = {&detail_.auth, &detail_.encryption, &detail_.keyLength,
                                            &detail_.keyIndex};
  for (int c = 0; c < kChoiceCount; ++c) {
    stacks_[c]->setCurrentWidget(texts_[c]);
    texts_[c]->setText(FromBytes(*texts[c]));
  }
  key_->setReadOnly(true);
  key_->setCharacterClass(CharacterClass::Any);
  key_->setMaxLength(kKeyCharacters * 2);
  // A WEP key is shown in hexadecimal first; "ASCII Format" shows it as characters when it
  // has a printable form.
  ascii_->setChecked(false);
  ascii_->setEnabled(detail_.hexKey && !detail_.keyAscii.empty());
  ShowDetailKey();
  ok_->hide();
  cancel_->setText(UiText(IDS_BTN_CLOSE));
  showing_ = false;
  ApplyEchoMode();
}

void CPageWPSProfile::ShowDetailKey() {
  const std::string& key =
      !detail_.hexKey ? detail_.key : (ascii_->isChecked() ? detail_.keyAscii : detail_.keyHex);
  key_->setText(FromBytes(key));
}

void CPageWPSProfile::ShowEditor() {
  showing_ = true;
  ssid_->setReadOnly(false);
  ssid_->setText(FromBytes(input_.ssid));
  mac_->setText(QString::fromStdString(DescribeWpsCredential(credential_).mac));
  for (int c = 0; c < kChoiceCount; ++c) stacks_[c]->setCurrentWidget(combos_[c]);
  combos_[static_cast<int>(Choice::Auth)]->setCurrentIndex(static_cast<int>(input_.auth));
  FillEncryptionCombo();
  combos_[static_cast<int>(Choice::KeyLength)]->setCurrentIndex(input_.wepKeyLengthChoice);
  combos_[static_cast<int>(Choice::KeyIndex)]->setCurrentIndex(static_cast<int>(input_.keyIndex));
  key_->setReadOnly(false);
  ApplyKeyRules();
  key_->setText(FromBytes(input_.key));
  ok_->show();
  cancel_->setText(UiText(IDS_CANCEL));
  showing_ = false;
  ApplyEchoMode();
}

// Open offers None and WEP; the pre-shared-key types TKIP and AES.
void CPageWPSProfile::FillEncryptionCombo() {
  QComboBox* combo = combos_[static_cast<int>(Choice::Encryption)];
  const bool wasShowing = showing_;
  showing_ = true;
  combo->clear();
  if (input_.auth == RegistrarAuth::Open) {
    combo->addItem(UiText(IDS_NONE));
    combo->addItem(UiText(IDS_WEP));
    combo->setCurrentIndex(input_.wep ? 1 : 0);
  } else {
    combo->addItem(UiText(IDS_TKIP));
    combo->addItem(UiText(IDS_AES));
    combo->setCurrentIndex(input_.aes ? 1 : 0);
  }
  encryptionForOpen_ = input_.auth == RegistrarAuth::Open;
  showing_ = wasShowing;
}

void CPageWPSProfile::ReadEditor() {
  input_.ssid = ToBytes(ssid_->text());
  input_.auth = static_cast<RegistrarAuth>(
      std::max(0, combos_[static_cast<int>(Choice::Auth)]->currentIndex()));
  // The encryption combo still holds the other family's items right after an authentication
  // change: each family keeps its own last choice.
  const bool second = combos_[static_cast<int>(Choice::Encryption)]->currentIndex() == 1;
  if (encryptionForOpen_ && input_.auth == RegistrarAuth::Open) {
    input_.wep = second;
  } else if (!encryptionForOpen_ && input_.auth != RegistrarAuth::Open) {
    input_.aes = second;
  }
  input_.wepKeyLengthChoice = std::max(0, combos_[static_cast<int>(Choice::KeyLength)]->currentIndex());
  input_.keyIndex =
      static_cast<uint32_t>(std::max(0, combos_[static_cast<int>(Choice::KeyIndex)]->currentIndex()));
  input_.key = ToBytes(key_->text());
}

// The key edit follows the choices: its length limit is the form the key check expects, read-only
// for an open network without encryption; the WEP controls only for WEP.
void CPageWPSProfile::ApplyKeyRules() {
  const int limit = RegistrarKeyLimit(input_);
  const bool wep = input_.auth == RegistrarAuth::Open && input_.wep;
  combos_[static_cast<int>(Choice::KeyLength)]->setEnabled(wep);
  combos_[static_cast<int>(Choice::KeyIndex)]->setEnabled(wep);
  ascii_->setEnabled(wep);
  ascii_->setChecked(wep && RegistrarWepChoiceIsAscii(input_.wepKeyLengthChoice));
  key_->setReadOnly(limit == 0);
  if (limit == 0) key_->clear();
  key_->setCharacterClass(wep && !RegistrarWepChoiceIsAscii(input_.wepKeyLengthChoice)
                              ? CharacterClass::Hex
                              : CharacterClass::PrintableAscii);
  key_->setMaxLength(limit == 0 ? kKeyCharacters : limit);
}

void CPageWPSProfile::ApplyEchoMode() {
  const bool option = State().ShowPasswordOption;
  showPassword_->setVisible(option);
  if (!option) showPassword_->setChecked(false);
  key_->setEchoMode(option && showPassword_->isChecked() ? QLineEdit::Normal : QLineEdit::Password);
}

void CPageWPSProfile::OnAuthChosen() {
  if (showing_) return;
  const RegistrarAuth before = input_.auth;
  ReadEditor();
  if (input_.auth == before) return;
  // A key of one family does not fit the other's edit.
  if ((before == RegistrarAuth::Open) != (input_.auth == RegistrarAuth::Open)) key_->clear();
  FillEncryptionCombo();
  ReadEditor();
  ApplyKeyRules();
}

void CPageWPSProfile::OnWepLengthChosen() {
  if (showing_) return;
  ReadEditor();
  ApplyKeyRules();
}

void CPageWPSProfile::OnAsciiClicked(bool ascii) {
  if (!editing_) {
    ShowDetailKey();
    return;
  }
  ReadEditor();
  const int choice = RegistrarWepChoiceForFormat(input_.wepKeyLengthChoice, ascii);
  if (choice == input_.wepKeyLengthChoice) {
    ApplyKeyRules();
    return;
  }
  // The typed key was of the other form.
  key_->clear();
  combos_[static_cast<int>(Choice::KeyLength)]->setCurrentIndex(choice);
}

bool CPageWPSProfile::OnOK() {
  if (!editing_) {
    OnCancel();
    return false;
  }
  ReadEditor();
  const int limit = key_->isReadOnly() ? 0 : RegistrarKeyLimit(input_);
  if (const std::optional<std::string> refusal = CheckRegistrarKey(limit, input_.key)) {
    const QString text = QString::fromStdString(*refusal);
    if (!note_) return RejectInput(text, key_);
    note_->ShowNear(key_, text);
    key_->setFocus();
    return false;
  }
  if (RegistrarNeedsInsecureConfirmation(input_) &&
      !(ask_ && ask_(QString::fromLatin1(kRegistrarInsecureQuestion.data(),
                                         static_cast<int>(kRegistrarInsecureQuestion.size())),
                     this)))
    return false;

  ActionQueue* queue = Host().ActivationQueue();
  ProfileStore* store = Services().store;
  if (!queue || !store) return false;
  WpsStoreState& wps = queue->wps();
  if (wps.Table.Count == 0) wps.Table.Count = 1;
  wps.Table.Credentials[0] = BuildRegistrarCredential(input_, wps.Table.Credentials[0]);
  credential_ = wps.Table.Credentials[0];
  ActivationState& activation = queue->activation();
  activation.AppliedCredentialIndex = 0;
  activation.NextCredentialIndex = 0;
  MarkWpsUse(*store, wps);
  SaveWpsStore(*store, queue->services().secretCodec, wps, false, nullptr);
  emit credentialSaved();
  Window().ShowLowerPanel(LOWER_PANEL_LINK_STATUS);
  return true;
}

void CPageWPSProfile::OnCancel() {
  if (note_) note_->hide();
  Window().ShowLowerPanel(LOWER_PANEL_LINK_STATUS);
}

QWidget* MakeWpsProfilePanel(const PageContext& context, QWidget* parent) {
  return new CPageWPSProfile(context, parent);
}

bool ShowWpsProfileDetail(COvUI2007Dlg& window, const WpsCredentialTable& table, int selectedRow,
                          int configMode) {
  const uint32_t count = std::min<uint32_t>(table.Count, WpsCredentialTable::kMaxCredentials);
  if (selectedRow < 0 || static_cast<uint32_t>(selectedRow) >= count) return false;
  auto* panel = dynamic_cast<CPageWPSProfile*>(window.LowerPanel(LOWER_PANEL_WPS_PROFILE));
  if (!panel) return false;
  const uint32_t shown = configMode == kWpsConfigRegistrar ? 0 : static_cast<uint32_t>(selectedRow);
  panel->ShowCredential(table.Credentials[shown], configMode);
  window.ShowLowerPanel(LOWER_PANEL_WPS_PROFILE);
  window.State().Expanded = false;
  window.ToggleMoreLess();
  return true;
}

}  // namespace ov
