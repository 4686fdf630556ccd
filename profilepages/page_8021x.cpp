#include "profilepages/page_8021x.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateTime>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <algorithm>

#include "profilepages/page_profile_sso.h"
#include "profilepages/profile_editor_controls.h"
#include "shell/ui/page_contract.h"
#include "shell/ui/ui_text.h"

namespace ov {

namespace {

struct MethodItem {
  uint32_t method;
  LanguageKey caption;
  int command;
  bool offered;  // TTLS and MD5-Challenge come only from a stored profile
};
constexpr MethodItem kMethods[] = {
    {kEapPeap, IDS_8021X_EAP_PEAP, 32850, true},
    {kEapTls, IDS_8021X_EAP_TLS_SMART_CARD, 32851, true},
    {kEapTtls, IDS_8021X_EAP_TTLS, 32852, false},
    {kEapFast, IDS_8021X_EAP_EAP_FAST, 32887, true},
    {kEapMd5, IDS_8021X_EAP_MD5, 32889, false},
    {kEapLeap, IDS_LEAP, 32894, true},
};

struct InnerItem {
  uint32_t code;
  LanguageKey caption;
  int command;
};
constexpr InnerItem kPeapInner[] = {
    {kInnerMsChapV2, IDS_8021X_PEAP_TUNNEL_MSCHAP2, 32853},
    {kInnerTls, IDS_8021X_PEAP_TUNNEL_TLS_SMART_CARD, 32854},
    {kInnerGtc, IDS_8021X_PEAP_TUNNEL_TLS_GTC, 32855},
};
// Menu index 0..4, stored as index + 1.
constexpr InnerItem kTtlsInner[] = {
    {0, IDS_8021X_TTLS_TUNNEL_CHAP, 32856},
    {1, IDS_8021X_TTLS_TUNNEL_MS_CHAP, 32859},
    {2, IDS_8021X_TTLS_TUNNEL_MS_CHAP_V2, 32857},
    {3, IDS_8021X_TTLS_TUNNEL_PAP, 32860},
    {4, IDS_8021X_TTLS_TUNNEL_EAP_MD5, 32861},
};

constexpr LanguageKey kSubTabCaptions[5] = {IDS_ID_PASSWORD, IDS_8021X_EAP_EAP_FAST,
                                            IDS_TABAUTHENTICATION, IDS_TABCASERVER, IDS_TAB_SSO};

constexpr int kSubTabWidth = 112;  // four slots at most
constexpr int kSubTabLeft = 312;
constexpr QRect kSubPageArea{312, 30, 462, 138};
constexpr int kCredentialMaxLength = 255;

QString PeapInnerCaption(uint32_t code) {
  for (const InnerItem& item : kPeapInner)
    if (item.code == code) return UiText(item.caption);
  return {};
}

QString MethodCaption(uint32_t method) {
  for (const MethodItem& item : kMethods)
    if (item.method == method) return UiText(item.caption);
  return {};
}

QLabel* TextLabel(const QString& text, const QRect& at, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(at);
  return label;
}

QLineEdit* Edit(const QRect& at, QLabel* label, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setGeometry(at);
  edit->setMaxLength(kCredentialMaxLength);
  label->setBuddy(edit);
  edit->setAccessibleName(label->text());
  return edit;
}

std::string LocalShortDate(std::time_t when) {
  const QDate date = QDateTime::fromSecsSinceEpoch(when).date();
  return QLocale().toString(date, QLocale::ShortFormat).toStdString();
}

void SetChecked(QCheckBox* box, uint32_t value) { box->setChecked(value != 0); }

}  // namespace

CPage8021XDlg::CPage8021XDlg(Inputs inputs, QWidget* parent)
    : QWidget(parent), inputs_(std::move(inputs)) {
  setFont(PageFont());
  if (inputs_.personalCertFolder.empty()) inputs_.personalCertFolder = PersonalCertFolder();
  if (inputs_.trustBundle.empty()) inputs_.trustBundle = SystemTrustBundle();
  BuildLayout();
  fields_ = ResetEapFields();
  ShowState();
}

void CPage8021XDlg::BuildLayout() {
  MakeLabel(IDS_AUTH_AUTH_TYPE, QRect(8, 6, 130, 22), this);
  methodButton_ = MakeDropDown(QRect(140, 4, 164, 26), &methodMenu_, this);
  methodButton_->setAccessibleName(UiText(IDS_AUTH_AUTH_TYPE));
  for (const MethodItem& item : kMethods) {
    QAction* action = methodMenu_->addAction(UiText(item.caption));
    action->setData(item.command);
    action->setVisible(item.offered);
    const uint32_t method = item.method;
    connect(action, &QAction::triggered, this, [this, method] { ChooseMethod(method); });
  }

  innerLabel_ = MakeLabel(IDS_AUTHPROTOCOAL, QRect(8, 36, 130, 22), this);
  innerButton_ = new QPushButton(this);
  innerButton_->setGeometry(140, 34, 164, 26);
  innerButton_->setAccessibleName(innerLabel_->text());
  peapMenu_ = new QMenu(innerButton_);
  for (const InnerItem& item : kPeapInner) {
    const uint32_t code = item.code;
    peapMenu_->addAction(UiText(item.caption), this, [this, code] { ChoosePeapInner(code); })
        ->setData(item.command);
  }
  ttlsMenu_ = new QMenu(innerButton_);
  for (const InnerItem& item : kTtlsInner) {
    const uint32_t index = item.code;
    ttlsMenu_->addAction(UiText(item.caption), this, [this, index] { ChooseTtlsInner(index); })
        ->setData(item.command);
  }

  sessionResumption_ = new QCheckBox(UiText(IDS_8021X_SESSION_RESUMPTION), this);
  sessionResumption_->setGeometry(8, 66, 296, 22);

  stack_ = new QStackedWidget(this);
  stack_->setGeometry(kSubPageArea);
  pages_ = {BuildCredentialsPage(), BuildEapFastPage(), BuildClientCertPage(),
            BuildServerCertPage(), ssoPage_ = new CPageProfileSSODlg(stack_)};
  for (size_t i = 0; i < pages_.size(); ++i) {
    stack_->addWidget(pages_[i]);
    auto* button = new QPushButton(UiText(kSubTabCaptions[i]), this);
    button->setCheckable(true);
    const auto tab = static_cast<EapSubTab>(i);
    connect(button, &QPushButton::clicked, this, [this, tab] { SelectSubTab(tab); });
    tabButtons_[i] = button;
  }
}

QWidget* CPage8021XDlg::BuildCredentialsPage() {
  auto* page = new QWidget(stack_);
  const QString texts[5] = {QStringLiteral("User ID >>"), QStringLiteral("User Password >>"),
                            QStringLiteral("Tunnel ID >>"), QStringLiteral("Tunnel Password >>"),
                            QStringLiteral("Domain Name >>")};
  const QPoint at[5] = {{0, 0}, {234, 0}, {0, 28}, {234, 28}, {0, 56}};
  std::array<QLineEdit*, 5> edits{};
  for (size_t i = 0; i < 5; ++i) {
    credentialLabels_[i] = TextLabel(texts[i], QRect(at[i].x(), at[i].y() + 2, 126, 22), page);
    edits[i] = Edit(QRect(at[i].x() + 126, at[i].y(), 102, 24), credentialLabels_[i], page);
  }
  identity_ = edits[0];
  password_ = edits[1];
  tunnelId_ = edits[2];
  tunnelPassword_ = edits[3];
  domain_ = edits[4];

  showPassword_ = new QCheckBox(UiText(IDS_SHOW_PASSWORD), page);
  showPassword_->setGeometry(234, 58, 226, 22);
  connect(showPassword_, &QCheckBox::clicked, this, [this] { ApplyEchoModes(); });

  modeLabel_ = TextLabel(QStringLiteral("Password Mode"), QRect(0, 86, 104, 22), page);
  modeGroup_ = new QButtonGroup(this);
  const QString modes[4] = {QStringLiteral("Soft Token"), QStringLiteral("Static Password"),
                            QStringLiteral("Windows Logon"), QStringLiteral("Prompt User")};
  for (int m = 0; m < 4; ++m) {
    auto* radio = new QRadioButton(modes[m], page);
    radio->setGeometry(104 + (m % 2) * 170, 84 + (m / 2) * 24, 168, 22);
    modeGroup_->addButton(radio, m);
    modeRadios_[static_cast<size_t>(m)] = radio;
  }
  // Generic Token Card's edits follow the mode.
  connect(modeGroup_, &QButtonGroup::idClicked, this, [this] {
    ReadControls();
    ShowState();
  });
  return page;
}

QWidget* CPage8021XDlg::BuildEapFastPage() {
  auto* page = new QWidget(stack_);
  provisionMode_ = new QCheckBox(QStringLiteral("Allow unauthenticated provision mode"), page);
  provisionMode_->setGeometry(0, 0, 460, 22);
  usePac_ = new QCheckBox(QStringLiteral("Use protected authentication credential"), page);
  usePac_->setGeometry(0, 24, 460, 22);
  connect(usePac_, &QCheckBox::clicked, this, [this] {
    ReadControls();
    ShowState();
  });
  auto* tunnelLabel = MakeLabel(IDS_PROVISIONING_TUNNEL, QRect(0, 52, 150, 22), page);
  provisioningButton_ = new QPushButton(page);
  provisioningButton_->setGeometry(150, 50, 200, 26);
  provisioningButton_->setAccessibleName(tunnelLabel->text());
  auto* menu = new QMenu(provisioningButton_);
  for (const InnerItem& item : kPeapInner) {
    const uint32_t code = item.code;
    menu->addAction(UiText(item.caption), this, [this, code] { ChooseProvisioningTunnel(code); })
        ->setData(item.command);
  }
  provisioningButton_->setMenu(menu);
  auto* pathLabel = MakeLabel(IDS_PAC_FILE_PATH, QRect(0, 82, 100, 22), page);
  pacPath_ = TextLabel(QString(), QRect(100, 82, 360, 22), page);
  pacPath_->setAccessibleName(pathLabel->text());
  pacImport_ = new QPushButton(UiText(IDS_IMPORT_FILE), page);
  pacImport_->setGeometry(0, 108, 120, 26);
  pacRemove_ = new QPushButton(UiText(IDS_REMOVE_FILE), page);
  pacRemove_->setGeometry(130, 108, 120, 26);
  connect(pacImport_, &QPushButton::clicked, this, [this] {
    const QString path = inputs_.pickPacFile
                             ? inputs_.pickPacFile()
                             : QFileDialog::getOpenFileName(this, QString(), QString(),
                                                            QStringLiteral("PAC (*.pac)"));
    if (path.isEmpty()) return;
    ReadControls();
    fields_.pacFilePath = path.toStdString();
    ShowState();
  });
  connect(pacRemove_, &QPushButton::clicked, this, [this] {
    ReadControls();
    fields_.pacFilePath.clear();
    ShowState();
  });
  return page;
}

QWidget* CPage8021XDlg::BuildClientCertPage() {
  auto* page = new QWidget(stack_);
  useClientCert_ = new QCheckBox(QStringLiteral("Use Client certification"), page);
  useClientCert_->setGeometry(0, 0, 196, 22);
  clientCombo_ = new QComboBox(page);
  clientCombo_->setGeometry(200, 0, 260, 24);
  clientCombo_->setAccessibleName(useClientCert_->text());
  connect(useClientCert_, &QCheckBox::clicked, this, [this](bool checked) {
    ReadControls();
    fields_.useClientCert = checked ? 1 : 0;
    if (checked) FillClientCerts();
    else fields_.clientCert.clear();
    ShowState();
  });
  connect(clientCombo_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!showing_) ShowClientCert(index);
  });
  const LanguageKey captions[4] = {IDS_ISSUETO, IDS_ISSUEBY, IDS_EXPIREON, IDS_FRIENDLYNAME};
  for (size_t i = 0; i < 4; ++i) {
    const int y = 28 + static_cast<int>(i) * 22;
    certCaptions_[i] = MakeLabel(captions[i], QRect(0, y, 110, 20), page);
    certTexts_[i] = TextLabel(QString(), QRect(112, y, 348, 20), page);
    certTexts_[i]->setAccessibleName(certCaptions_[i]->text());
  }
  cardGroup_ = new QButtonGroup(this);
  const LanguageKey radios[2] = {IDS_CERT_DLG_USE_CERT_ON_MACHINE, IDS_CERT_DLG_USE_CERT_ON_SMART_CARD};
  for (int r = 0; r < 2; ++r) {
    auto* radio = new QRadioButton(UiText(radios[r]), page);
    radio->setGeometry(r * 232, 116, 228, 22);
    cardGroup_->addButton(radio, r);
    cardRadios_[static_cast<size_t>(r)] = radio;
  }
  return page;
}

QWidget* CPage8021XDlg::BuildServerCertPage() {
  auto* page = new QWidget(stack_);
  useServerCert_ = new QCheckBox(QStringLiteral("Use Server Certification"), page);
  useServerCert_->setGeometry(0, 0, 196, 22);
  serverCombo_ = new QComboBox(page);
  serverCombo_->setGeometry(200, 0, 260, 24);
  serverCombo_->setAccessibleName(useServerCert_->text());
  connect(useServerCert_, &QCheckBox::clicked, this, [this] {
    ReadControls();
    ShowState();
  });
  intermediate_ = new QCheckBox(QStringLiteral("Allow intermidiate certificates"), page);
  intermediate_->setGeometry(0, 28, 460, 22);
  serverNameLabel_ = MakeLabel(IDS_SERVERNAMEBE, QRect(0, 58, 110, 22), page);
  serverName_ = Edit(QRect(110, 56, 350, 24), serverNameLabel_, page);
  nameRuleGroup_ = new QButtonGroup(this);
  const QString rules[2] = {QStringLiteral("Serve name must match exactly"),
                            QStringLiteral("Domain name must end in specified name")};
  for (int r = 0; r < 2; ++r) {
    auto* radio = new QRadioButton(rules[r], page);
    radio->setGeometry(0, 86 + r * 24, 460, 22);
    nameRuleGroup_->addButton(radio, r);
    nameRules_[static_cast<size_t>(r)] = radio;
  }
  return page;
}

void CPage8021XDlg::Reset() {
  fields_ = ResetEapFields();
  clientCerts_.clear();
  serverListStale_ = true;
  ShowState();
  SelectSubTab(ArrangeEapPage(fields_, FastEnhancement()).selected);
}

void CPage8021XDlg::ReapplyLoaded(const EapFields& loaded) {
  fields_ = loaded;
  clientCerts_.clear();
  if (fields_.useClientCert != 0 || ArrangeEapPage(fields_, false).clientCertForced) {
    const std::vector<uint8_t> kept = fields_.clientCert;
    FillClientCerts();
    fields_.clientCert = kept;  // the loaded choice, even when the store no longer holds it
  }
  serverListStale_ = true;
  ShowState();
  SelectSubTab(ArrangeEapPage(fields_, FastEnhancement()).selected);
}

EapFields& CPage8021XDlg::Fields() {
  ReadControls();
  return fields_;
}

std::optional<QString> CPage8021XDlg::Validate() {
  ReadControls();
  const std::optional<EapRefusal> refusal = ValidateEapPage(fields_);
  if (!refusal) return std::nullopt;
  return refusal->key ? UiText(*refusal->key) : QString::fromStdString(refusal->text);
}

void CPage8021XDlg::ChooseMethod(uint32_t method) {
  ReadControls();
  ov::ChooseEapMethod(fields_, method);
  if (fields_.useClientCert != 0 && clientCerts_.empty()) FillClientCerts();
  ShowState();
  SelectSubTab(ArrangeEapPage(fields_, FastEnhancement()).selected);
}

void CPage8021XDlg::ChoosePeapInner(uint32_t innerEapType) {
  ReadControls();
  ov::ChoosePeapInner(fields_, innerEapType);
  if (fields_.useClientCert != 0 && clientCerts_.empty()) FillClientCerts();
  ShowState();
}

void CPage8021XDlg::ChooseTtlsInner(uint32_t menuIndex) {
  ReadControls();
  ov::ChooseTtlsInner(fields_, menuIndex);
  ShowState();
}

void CPage8021XDlg::ChooseProvisioningTunnel(uint32_t innerEapType) {
  ReadControls();
  if (innerEapType == kInnerMsChapV2 || innerEapType == kInnerTls || innerEapType == kInnerGtc)
    fields_.provisioningTunnel = innerEapType;
  ShowState();
}

void CPage8021XDlg::SelectSubTab(EapSubTab tab) {
  if (tab == EapSubTab::ServerCert && serverListStale_) {
    ReadControls();
    FillServerCas();
    ShowState();
  }
  current_ = tab;
  stack_->setCurrentWidget(pages_[static_cast<size_t>(tab)]);
  for (size_t i = 0; i < tabButtons_.size(); ++i) tabButtons_[i]->setChecked(i == static_cast<size_t>(tab));
}

void CPage8021XDlg::FillClientCerts() {
  clientCerts_ = EnumerateCertFolder(inputs_.personalCertFolder, kStorePersonal, LocalShortDate);
  fields_.clientCert = clientCerts_.empty() ? std::vector<uint8_t>{} : clientCerts_.front().hash;
}

void CPage8021XDlg::FillServerCas() {
  serverCas_ = EnumerateCertBundle(inputs_.trustBundle, kStoreOther, LocalShortDate);
  serverListStale_ = false;
}

void CPage8021XDlg::ShowClientCert(int index) {
  if (index < 0 || static_cast<size_t>(index) >= clientCerts_.size()) return;
  fields_.clientCert = clientCerts_[static_cast<size_t>(index)].hash;
  const CertDesc& d = clientCerts_[static_cast<size_t>(index)];
  const std::string texts[4] = {d.issuedTo, d.issuedBy, d.expiration, d.friendlyName};
  for (size_t i = 0; i < 4; ++i) certTexts_[i]->setText(QString::fromStdString(texts[i]));
}

void CPage8021XDlg::ReadControls() {
  if (showing_) return;
  fields_.identity = identity_->text().toStdString();
  fields_.password = password_->text().toStdString();
  fields_.tunnelId = tunnelId_->text().toStdString();
  fields_.tunnelPassword = tunnelPassword_->text().toStdString();
  fields_.domainName = domain_->text().toStdString();
  if (modeGroup_->checkedId() >= 0) fields_.passwordMode = static_cast<uint32_t>(modeGroup_->checkedId());
  fields_.sessionResumption = sessionResumption_->isChecked() ? 1 : 0;
  fields_.provisionMode = provisionMode_->isChecked() ? 1 : 0;
  fields_.usePac = usePac_->isChecked() ? 1 : 0;
  fields_.useClientCert = useClientCert_->isChecked() ? 1 : 0;
  if (cardGroup_->checkedId() >= 0) fields_.useSmartCard = static_cast<uint32_t>(cardGroup_->checkedId());
  fields_.useServerCert = useServerCert_->isChecked() ? 1 : 0;
  fields_.intermediateCert = intermediate_->isChecked() ? 1 : 0;
  fields_.serverName = serverName_->text().toStdString();
  if (nameRuleGroup_->checkedId() >= 0) fields_.nameRule = static_cast<uint32_t>(nameRuleGroup_->checkedId());
  fields_.ssoFlags = ssoPage_->Flags();
  // The combo's entry 0 is "- Any Trusted CA -", which stores no hash.
  if (!serverListStale_) {
    const int ca = serverCombo_->currentIndex();
    fields_.serverCert = ca >= 1 && static_cast<size_t>(ca) <= serverCas_.size()
                             ? serverCas_[static_cast<size_t>(ca - 1)].hash
                             : std::vector<uint8_t>{};
  }
}

void CPage8021XDlg::ShowState() {
  showing_ = true;
  const EapArrangement a = ArrangeEapPage(fields_, FastEnhancement());

  methodButton_->setText(MethodCaption(fields_.authenProtocol));
  innerLabel_->setVisible(a.innerVisible);
  innerButton_->setVisible(a.innerVisible);
  innerButton_->setEnabled(a.innerEnabled);
  if (a.innerMenu == InnerMenu::Peap) {
    innerButton_->setMenu(peapMenu_);
    innerButton_->setText(PeapInnerCaption(fields_.tunnelProtocol));
  } else if (a.innerMenu == InnerMenu::Ttls) {
    innerButton_->setMenu(ttlsMenu_);
    const uint32_t index = fields_.ttlsInnerMethod - 1;
    innerButton_->setText(index < kTtlsInnerCount ? UiText(kTtlsInner[index].caption) : QString());
  } else {
    innerButton_->setMenu(nullptr);
    innerButton_->setText(QString());
  }
  sessionResumption_->setChecked(fields_.sessionResumption != 0);

  // Sub-tabs in their slots; the hidden ones leave no gap.
  for (size_t i = 0; i < tabButtons_.size(); ++i) tabButtons_[i]->setVisible(false);
  for (size_t slot = 0; slot < a.tabs.size(); ++slot) {
    QPushButton* button = tabButtons_[static_cast<size_t>(a.tabs[slot])];
    button->setGeometry(kSubTabLeft + static_cast<int>(slot) * (kSubTabWidth + 2), 2, kSubTabWidth, 26);
    button->setVisible(true);
  }
  stack_->setVisible(!a.tabs.empty());

  // Credentials.
  identity_->setText(QString::fromStdString(fields_.identity));
  password_->setText(QString::fromStdString(fields_.password));
  tunnelId_->setText(QString::fromStdString(fields_.tunnelId));
  tunnelPassword_->setText(QString::fromStdString(fields_.tunnelPassword));
  domain_->setText(QString::fromStdString(fields_.domainName));
  const bool enabled[5] = {a.credentials.identity, a.credentials.password, a.credentials.tunnelId,
                           a.credentials.tunnelPassword, a.credentials.domain};
  QLineEdit* edits[5] = {identity_, password_, tunnelId_, tunnelPassword_, domain_};
  for (size_t i = 0; i < 5; ++i) {
    edits[i]->setEnabled(enabled[i]);
    credentialLabels_[i]->setEnabled(enabled[i]);
  }
  modeLabel_->setVisible(a.credentials.passwordModes);
  for (size_t m = 0; m < modeRadios_.size(); ++m) {
    modeRadios_[m]->setVisible(a.credentials.passwordModes);
    modeRadios_[m]->setChecked(m == fields_.passwordMode);
  }
  const bool option = inputs_.showPasswordOption && inputs_.showPasswordOption();
  showPassword_->setVisible(option);
  if (!option) showPassword_->setChecked(false);
  ApplyEchoModes();

  // EAP-FAST provisioning.
  SetChecked(provisionMode_, fields_.provisionMode);
  SetChecked(usePac_, fields_.usePac);
  provisioningButton_->setText(PeapInnerCaption(fields_.provisioningTunnel));
  pacPath_->setText(QString::fromStdString(fields_.pacFilePath));

  // Client certificate: forced on for TLS and PEAP's EAP-TLS.
  if (a.clientCertForced) fields_.useClientCert = 1;
  const bool useClient = fields_.useClientCert != 0;
  useClientCert_->setChecked(useClient);
  useClientCert_->setEnabled(!a.clientCertForced);
  clientCombo_->clear();
  int selected = -1;
  if (useClient) {
    for (size_t i = 0; i < clientCerts_.size(); ++i) {
      clientCombo_->addItem(QString::fromStdString(clientCerts_[i].issuedTo));
      if (selected < 0 && clientCerts_[i].hash == fields_.clientCert) selected = static_cast<int>(i);
    }
  }
  clientCombo_->setCurrentIndex(selected);
  for (QLabel* text : certTexts_) text->clear();
  showing_ = false;
  if (selected >= 0) ShowClientCert(selected);
  showing_ = true;
  clientCombo_->setEnabled(useClient);
  for (size_t i = 0; i < 4; ++i) {
    certCaptions_[i]->setEnabled(useClient);
    certTexts_[i]->setEnabled(useClient);
  }
  for (size_t r = 0; r < cardRadios_.size(); ++r) {
    cardRadios_[r]->setEnabled(useClient);
    cardRadios_[r]->setChecked(r == fields_.useSmartCard);
  }

  // Server certificate.
  const bool useServer = fields_.useServerCert != 0;
  useServerCert_->setChecked(useServer);
  serverCombo_->clear();
  serverCombo_->addItem(QStringLiteral("- Any Trusted CA -"));
  int ca = 0;
  for (size_t i = 0; i < serverCas_.size(); ++i) {
    serverCombo_->addItem(QString::fromStdString(serverCas_[i].issuedTo));
    if (ca == 0 && !fields_.serverCert.empty() && serverCas_[i].hash == fields_.serverCert)
      ca = static_cast<int>(i) + 1;
  }
  serverCombo_->setCurrentIndex(ca);
  SetChecked(intermediate_, fields_.intermediateCert);
  serverName_->setText(QString::fromStdString(fields_.serverName));
  for (size_t r = 0; r < nameRules_.size(); ++r) nameRules_[r]->setChecked(r == fields_.nameRule);
  ssoPage_->SetFlags(fields_.ssoFlags);
  for (QWidget* w : {static_cast<QWidget*>(serverCombo_), static_cast<QWidget*>(intermediate_),
                     static_cast<QWidget*>(serverNameLabel_), static_cast<QWidget*>(serverName_),
                     static_cast<QWidget*>(nameRules_[0]), static_cast<QWidget*>(nameRules_[1])})
    w->setEnabled(useServer);
  showing_ = false;

  // A sub-tab that the method hides is left for the method's own choice.
  if (std::find(a.tabs.begin(), a.tabs.end(), current_) == a.tabs.end() && !a.tabs.empty())
    SelectSubTab(a.selected);
}

void CPage8021XDlg::ApplyEchoModes() {
  const bool plain = showPassword_->isVisible() || (inputs_.showPasswordOption && inputs_.showPasswordOption());
  const auto mode = plain && showPassword_->isChecked() ? QLineEdit::Normal : QLineEdit::Password;
  password_->setEchoMode(mode);
  tunnelPassword_->setEchoMode(mode);
}

void CPage8021XDlg::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The security page may have changed the method while this tab was hidden.
  ReadControls();
  ShowState();
}

}  // namespace ov
