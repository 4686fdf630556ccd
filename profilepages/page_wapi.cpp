#include "profilepages/page_wapi.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>

#include "shell/ui/page_contract.h"
#include "shell/ui/ui_text.h"
#include "widgets/accessibility.h"

namespace ov {

namespace {

constexpr int kTabWidth = 150;
constexpr int kLabelWidth = 110;

QString PathCaption(WapiCertKind kind) {
  return UiText(kind == WapiCertKind::User ? IDS_USE_USER_CERT : IDS_USE_AS_CERT);
}

QString PickWithDialog(QWidget* parent) {
  QFileDialog dialog(parent);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix(QStringLiteral("cer"));
  dialog.setNameFilter(QStringLiteral("CER (*.cer)"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace

WapiCertPage::WapiCertPage(WapiCertKind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
  const bool user = kind == WapiCertKind::User;
  auto* caption = new QLabel(PathCaption(kind), this);
  caption->setGeometry(8, 6, 170, 22);
  caption->setProperty("controlId", user ? IDC_WAPI_USER_CERT_CAPTION : IDC_WAPI_AS_CERT_CAPTION);
  path_ = new QLineEdit(this);
  path_->setGeometry(180, 4, 470, 26);
  path_->setEnabled(false);
  path_->setMaxLength(static_cast<int>(kPathMaxLength));
  path_->setProperty("controlId", user ? IDC_WAPI_USER_CERT_PATH : IDC_WAPI_AS_CERT_PATH);
  path_->setAccessibleName(WithoutMnemonic(caption->text()));
  browse_ = new QPushButton(UiText(IDS_BTN_BROWSER), this);
  browse_->setGeometry(660, 4, 100, 26);
  browse_->setProperty("controlId", IDC_WAPI_BROWSE);
  connect(browse_, &QPushButton::clicked, this, &WapiCertPage::browseClicked);

  const LanguageKey labels[] = {IDS_ISSUETO, IDS_ISSUEBY, IDS_EXPIREON};
  const int ids[] = {IDC_WAPI_ISSUED_TO, IDC_WAPI_ISSUED_BY, IDC_WAPI_EXPIRES_ON};
  for (size_t i = 0; i < values_.size(); ++i) {
    const int y = 42 + static_cast<int>(i) * 28;
    auto* label = new QLabel(UiText(labels[i]), this);
    label->setGeometry(8, y, kLabelWidth, 22);
    values_[i] = new QLabel(this);
    values_[i]->setGeometry(8 + kLabelWidth, y, 640, 22);
    values_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    values_[i]->setProperty("controlId", ids[i]);
    values_[i]->setAccessibleName(WithoutMnemonic(label->text()));
  }
}

void WapiCertPage::SetCertPath(const std::string& path) {
  certPath_ = path;
  path_->setText(QString::fromStdString(path));
  path_->setCursorPosition(0);
}

void WapiCertPage::ShowDetails(const WapiCertDetails& details) {
  details_ = details;
  values_[0]->setText(QString::fromStdString(details.issuedTo));
  values_[1]->setText(QString::fromStdString(details.issuedBy));
  values_[2]->setText(QString::fromStdString(details.expiresOn));
}

CPageWAPIDlg::CPageWAPIDlg(Inputs inputs, QWidget* parent)
    : QWidget(parent), inputs_(std::move(inputs)) {
  setFont(PageFont());
  setProperty("controlId", IDC_WAPI_TAB_HOST);
  userTab_ = new QPushButton(UiText(IDS_TAB_WAPI_USER_CERT), this);
  userTab_->setProperty("controlId", IDC_WAPI_USER_CERT_TAB);
  asTab_ = new QPushButton(UiText(IDS_TAB_WAPI_AS_CERT), this);
  asTab_->setProperty("controlId", IDC_WAPI_AS_CERT_TAB);
  int x = 8;
  for (QPushButton* tab : {userTab_, asTab_}) {
    tab->setCheckable(true);
    tab->setGeometry(x, 0, kTabWidth, 24);
    x += kTabWidth + 4;
  }
  stack_ = new QStackedWidget(this);
  stack_->setGeometry(0, 28, 776, 140);
  stack_->setProperty("controlId", IDC_WAPI_PAGE_AREA);
  user_ = new CPageUserCertDlg(stack_);
  as_ = new CPageASCertDlg(stack_);
  stack_->addWidget(user_);
  stack_->addWidget(as_);
  connect(userTab_, &QPushButton::clicked, this, [this] { SelectCertTab(WapiCertKind::User); });
  connect(asTab_, &QPushButton::clicked, this, [this] { SelectCertTab(WapiCertKind::As); });
  connect(user_, &WapiCertPage::browseClicked, this, [this] { Browse(WapiCertKind::User); });
  connect(as_, &WapiCertPage::browseClicked, this, [this] { Browse(WapiCertKind::As); });
  SelectCertTab(WapiCertKind::User);
}

CPageWAPIDlg::~CPageWAPIDlg() = default;

void CPageWAPIDlg::SelectCertTab(WapiCertKind kind) {
  current_ = kind;
  stack_->setCurrentWidget(Page(kind));
  userTab_->setChecked(kind == WapiCertKind::User);
  asTab_->setChecked(kind == WapiCertKind::As);
}

void CPageWAPIDlg::Reset() {
  for (WapiCertPage* page : {Page(WapiCertKind::User), Page(WapiCertKind::As)}) {
    page->SetCertPath({});
    page->ShowDetails({});
  }
  SelectCertTab(WapiCertKind::User);
}

void CPageWAPIDlg::ReapplyLoaded(const WapiFields& loaded) {
  user_->SetCertPath(loaded.userCertPath);
  as_->SetCertPath(loaded.asCertPath);
  // Details of the previous profile must not stand beside this one's paths.
  user_->ShowDetails({});
  as_->ShowDetails({});
  if (!loaded.userCertPath.empty()) {
    ClearWapiCertificates(Library());
    InstallAndShow(user_, loaded.userCertPath);
  }
  if (!loaded.asCertPath.empty()) {
    ClearWapiCertificates(Library());
    InstallAndShow(as_, loaded.asCertPath);
  }
  SelectCertTab(WapiCertKind::User);
}

WapiFields CPageWAPIDlg::Fields() const { return {user_->CertPath(), as_->CertPath()}; }

void CPageWAPIDlg::Browse(WapiCertKind kind) {
  const QString chosen =
      inputs_.pickCertificate ? inputs_.pickCertificate(kind) : PickWithDialog(this);
  if (chosen.isEmpty()) return;
  const std::string path = chosen.toStdString();
  if (!IsCerFileName(path)) {
    Message(IDS_ERROR_CER_EXT_NAME);
    return;
  }
  WapiCertPage* page = Page(kind);
  page->SetCertPath(path);
  ClearWapiCertificates(Library());
  page->ShowDetails(CertificateInfoDetails(Certificates(), kind, path));
}

void CPageWAPIDlg::InstallAndShow(WapiCertPage* page, const std::string& path) {
  WapiInstallOutcome outcome = InstallAndShowCertificate(Library(), page->Kind(), path);
  if (outcome.refusal) {
    Message(*outcome.refusal);
    return;
  }
  if (outcome.details) page->ShowDetails(*outcome.details);
}

WapiCertificateCalls& CPageWAPIDlg::Library() {
  if (inputs_.wapiLibrary) {
    if (WapiCertificateCalls* library = inputs_.wapiLibrary()) return *library;
  }
  if (!ownLibrary_) ownLibrary_ = std::make_unique<WapiDllLibrary>();
  return *ownLibrary_;
}

const CertificateManagerModule* CPageWAPIDlg::Certificates() const {
  return inputs_.certificates ? inputs_.certificates() : nullptr;
}

void CPageWAPIDlg::Message(LanguageKey key) {
  if (inputs_.showMessage) inputs_.showMessage(UiText(key));
}

CPageWAPIDlg::Inputs WapiTabInputsOf(PageWidget& host) {
  CPageWAPIDlg::Inputs inputs;
  inputs.certificates = [&host] { return host.Services().certificates; };
  inputs.wapiLibrary = [&host] { return host.Services().wapiLibrary; };
  inputs.showMessage = [&host](const QString& text) { host.ShowPageMessage(text); };
  return inputs;
}

std::function<bool(const std::string&)> WapiCertCheck(const CertificateManagerModule* manager,
                                                      WapiCertKind kind) {
  if (manager == nullptr || !manager->CheckCert(kind, {}).has_value()) return {};
  return [manager, kind](const std::string& path) { return manager->CheckCert(kind, path).value_or(true); };
}

}  // namespace ov
