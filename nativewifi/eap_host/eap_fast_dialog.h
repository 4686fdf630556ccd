#pragma once
#include <QDialog>
#include <optional>

#include "nativewifi/eap_fast_blob.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

// The EAP host's settings dialog for EAP-FAST: the inner method, the provisioning and PAC
// options, the outer identity and the server to validate. It stands in for the host's own method
// dialog, so its texts are its own and not the utility's language table.
namespace ov {

class EapFastDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit EapFastDialog(QWidget* parent = nullptr);

  void setSettings(const EapFastSettings& settings);
  // The settings as entered; nothing while a field is invalid (OK is disabled then).
  std::optional<EapFastSettings> settings() const;
  // Why OK is disabled; empty while the settings are valid.
  QString problem() const;

  // Object names of the fields, for tests and accessibility tools.
  static constexpr const char* kInnerMethod = "innerMethod";
  static constexpr const char* kUnauthenticatedProvisioning = "unauthenticatedProvisioning";
  static constexpr const char* kAuthenticatedProvisioning = "authenticatedProvisioning";
  static constexpr const char* kUsePac = "usePac";
  static constexpr const char* kPacFile = "pacFile";
  static constexpr const char* kOuterIdentity = "outerIdentity";
  static constexpr const char* kValidateServer = "validateServer";
  static constexpr const char* kServerName = "serverName";
  static constexpr const char* kTrustedRootHash = "trustedRootHash";
  static constexpr const char* kFastReconnect = "fastReconnect";

 private:
  void updateState();

  QComboBox* innerMethod_;
  QCheckBox* unauthenticated_;
  QCheckBox* authenticated_;
  QCheckBox* usePac_;
  QLineEdit* pacFile_;
  QLineEdit* outerIdentity_;
  QCheckBox* validateServer_;
  QLineEdit* serverName_;
  QLineEdit* trustedRootHash_;
  QCheckBox* fastReconnect_;
  QLabel* problem_;
  QDialogButtonBox* buttons_;
};

}  // namespace ov
