#include "nativewifi/eap_host/eap_fast_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cctype>

namespace ov {

namespace {

constexpr int kTrustedRootHashMaxBytes = 152;

struct InnerMethod {
  const char* text;
  uint8_t type;
};
constexpr InnerMethod kInnerMethods[] = {
    {"EAP-MSCHAP v2", 26},
    {"EAP-GTC", 6},
    {"EAP-TLS", 13},
};

QCheckBox* CheckBox(const char* text, const char* name, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromUtf8(text), parent);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

QLineEdit* LineEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

std::optional<std::vector<uint8_t>> ParseHash(const QString& text) {
  const QByteArray hex = text.trimmed().remove(QLatin1Char(' ')).remove(QLatin1Char(':')).toLatin1();
  if (hex.size() % 2) return std::nullopt;
  for (char c : hex) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
  }
  const QByteArray bytes = QByteArray::fromHex(hex);
  if (bytes.size() > kTrustedRootHashMaxBytes) return std::nullopt;
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

bool FitsText(const QString& text) {
  return static_cast<size_t>(text.toUtf8().size()) <= kEapFastTextMaxLength;
}

}  // namespace

EapFastDialog::EapFastDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("EAP-FAST Properties"));
  innerMethod_ = new QComboBox(this);
  innerMethod_->setObjectName(QString::fromLatin1(kInnerMethod));
  for (const InnerMethod& m : kInnerMethods) innerMethod_->addItem(QString::fromUtf8(m.text), m.type);
  unauthenticated_ = CheckBox("Allow unauthenticated PAC provisioning", kUnauthenticatedProvisioning, this);
  authenticated_ = CheckBox("Allow authenticated PAC provisioning", kAuthenticatedProvisioning, this);
  usePac_ = CheckBox("Use a PAC file", kUsePac, this);
  pacFile_ = LineEdit(kPacFile, this);
  outerIdentity_ = LineEdit(kOuterIdentity, this);
  outerIdentity_->setPlaceholderText(QStringLiteral("anonymous"));
  validateServer_ = CheckBox("Validate the server certificate", kValidateServer, this);
  serverName_ = LineEdit(kServerName, this);
  trustedRootHash_ = LineEdit(kTrustedRootHash, this);
  trustedRootHash_->setPlaceholderText(QStringLiteral("SHA-1 of the trusted root CA, hexadecimal"));
  fastReconnect_ = CheckBox("Enable fast reconnect", kFastReconnect, this);
  problem_ = new QLabel(this);
  problem_->setObjectName(QStringLiteral("problem"));
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Inner method:"), innerMethod_);
  form->addRow(unauthenticated_);
  form->addRow(authenticated_);
  form->addRow(usePac_);
  form->addRow(QStringLiteral("PAC file:"), pacFile_);
  form->addRow(QStringLiteral("Outer identity:"), outerIdentity_);
  form->addRow(validateServer_);
  form->addRow(QStringLiteral("Server name:"), serverName_);
  form->addRow(QStringLiteral("Trusted root CA:"), trustedRootHash_);
  form->addRow(fastReconnect_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(problem_);
  layout->addWidget(buttons_);

  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  for (QCheckBox* box : {usePac_, validateServer_}) {
    connect(box, &QCheckBox::toggled, this, [this] { updateState(); });
  }
  for (QLineEdit* edit : {pacFile_, outerIdentity_, serverName_, trustedRootHash_}) {
    connect(edit, &QLineEdit::textChanged, this, [this] { updateState(); });
  }
  setSettings(EapFastSettings{});
}

void EapFastDialog::setSettings(const EapFastSettings& s) {
  const int index = innerMethod_->findData(s.innerMethod);
  innerMethod_->setCurrentIndex(index < 0 ? 0 : index);
  unauthenticated_->setChecked(s.flags & kEapFastAllowUnauthenticatedProvisioning);
  authenticated_->setChecked(s.flags & kEapFastAllowAuthenticatedProvisioning);
  usePac_->setChecked(s.flags & kEapFastUsePac);
  pacFile_->setText(QString::fromUtf8(s.pacFilePath.data(), static_cast<qsizetype>(s.pacFilePath.size())));
  outerIdentity_->setText(
      QString::fromUtf8(s.outerIdentity.data(), static_cast<qsizetype>(s.outerIdentity.size())));
  validateServer_->setChecked(s.flags & kEapFastValidateServer);
  serverName_->setText(QString::fromUtf8(s.serverName.data(), static_cast<qsizetype>(s.serverName.size())));
  trustedRootHash_->setText(
      QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(s.trustedRootHash.data()),
                                     static_cast<qsizetype>(s.trustedRootHash.size()))
                              .toHex()
                              .toUpper()));
  fastReconnect_->setChecked(s.flags & kEapFastFastReconnect);
  updateState();
}

QString EapFastDialog::problem() const {
  if (!FitsText(pacFile_->text()) || !FitsText(outerIdentity_->text()) || !FitsText(serverName_->text())) {
    return QStringLiteral("A text is longer than 255 bytes.");
  }
  if (usePac_->isChecked() && pacFile_->text().trimmed().isEmpty()) {
    return QStringLiteral("Choose the PAC file to use.");
  }
  if (!ParseHash(trustedRootHash_->text())) {
    return QStringLiteral("The trusted root CA is not a hexadecimal hash of at most 152 bytes.");
  }
  return {};
}

std::optional<EapFastSettings> EapFastDialog::settings() const {
  if (!problem().isEmpty()) return std::nullopt;
  EapFastSettings s;
  s.innerMethod = static_cast<uint8_t>(innerMethod_->currentData().toUInt());
  s.flags = 0;
  if (unauthenticated_->isChecked()) s.flags |= kEapFastAllowUnauthenticatedProvisioning;
  if (authenticated_->isChecked()) s.flags |= kEapFastAllowAuthenticatedProvisioning;
  if (usePac_->isChecked()) s.flags |= kEapFastUsePac;
  if (validateServer_->isChecked()) s.flags |= kEapFastValidateServer;
  if (fastReconnect_->isChecked()) s.flags |= kEapFastFastReconnect;
  s.pacFilePath = pacFile_->text().toStdString();
  s.outerIdentity = outerIdentity_->text().toStdString();
  s.serverName = serverName_->text().toStdString();
  s.trustedRootHash = *ParseHash(trustedRootHash_->text());
  return s;
}

void EapFastDialog::updateState() {
  pacFile_->setEnabled(usePac_->isChecked());
  serverName_->setEnabled(validateServer_->isChecked());
  trustedRootHash_->setEnabled(validateServer_->isChecked());
  const QString why = problem();
  problem_->setText(why);
  problem_->setVisible(!why.isEmpty());
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(why.isEmpty());
}

}  // namespace ov
