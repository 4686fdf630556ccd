#pragma once
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "profilepages/profile_editor_rules.h"
#include "profilepages/wapi_cert_rules.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

// The WAPI tab of the profile editor and of the connection security editor: two certificate
// pages, the user's and the authentication server's, each with its path (filled only by Browse
// or by loading a profile) and the details of the certificate.
namespace ov {

// Control identifiers of the tab and its pages.
inline constexpr int IDC_WAPI_TAB_HOST = 1332;
inline constexpr int IDC_WAPI_PAGE_AREA = 1329;
inline constexpr int IDC_WAPI_USER_CERT_TAB = 1397;
inline constexpr int IDC_WAPI_AS_CERT_TAB = 1398;
inline constexpr int IDC_WAPI_USER_CERT_CAPTION = 1349;
inline constexpr int IDC_WAPI_AS_CERT_CAPTION = 1351;
inline constexpr int IDC_WAPI_USER_CERT_PATH = 1358;
inline constexpr int IDC_WAPI_AS_CERT_PATH = 1359;
inline constexpr int IDC_WAPI_BROWSE = 1356;
inline constexpr int IDC_WAPI_ISSUED_TO = 1120;
inline constexpr int IDC_WAPI_ISSUED_BY = 1121;
inline constexpr int IDC_WAPI_EXPIRES_ON = 1122;

// One certificate page; the two differ in their caption and the exports they call.
class WapiCertPage : public QWidget {
  Q_OBJECT

 public:
  WapiCertPage(WapiCertKind kind, QWidget* parent);
  WapiCertKind Kind() const { return kind_; }

  void SetCertPath(const std::string& path);
  std::string CertPath() const { return certPath_; }
  void ShowDetails(const WapiCertDetails& details);
  WapiCertDetails Details() const { return details_; }

  QLineEdit* PathEdit() const { return path_; }
  QPushButton* BrowseButton() const { return browse_; }
  QLabel* IssuedToValue() const { return values_[0]; }
  QLabel* IssuedByValue() const { return values_[1]; }
  QLabel* ExpiresOnValue() const { return values_[2]; }

 signals:
  void browseClicked();

 private:
  WapiCertKind kind_;
  std::string certPath_;
  WapiCertDetails details_;
  QLineEdit* path_ = nullptr;
  QPushButton* browse_ = nullptr;
  std::array<QLabel*, 3> values_{};
};

class CPageUserCertDlg final : public WapiCertPage {
  Q_OBJECT
 public:
  explicit CPageUserCertDlg(QWidget* parent) : WapiCertPage(WapiCertKind::User, parent) {}
};

class CPageASCertDlg final : public WapiCertPage {
  Q_OBJECT
 public:
  explicit CPageASCertDlg(QWidget* parent) : WapiCertPage(WapiCertKind::As, parent) {}
};

class CPageWAPIDlg : public QWidget {
  Q_OBJECT

 public:
  struct Inputs {
    // The monitor's certificate-manager module; null (or empty) while it is not loaded.
    std::function<const CertificateManagerModule*()> certificates;
    // The WAPI library; null (or empty): libWAPIDLL.so from the program folder.
    std::function<WapiCertificateCalls*()> wapiLibrary;
    // The file chosen for a page; empty: a file-open dialog on "*.cer". An empty text cancels.
    std::function<QString(WapiCertKind)> pickCertificate;
    // The host's modal message box.
    std::function<void(const QString&)> showMessage;
  };

  explicit CPageWAPIDlg(Inputs inputs, QWidget* parent = nullptr);
  ~CPageWAPIDlg() override;

  // Add, and the survey's Add to Profile: empty pages, the user-certificate tab.
  void Reset();
  // Edit: the profile's paths shown, and each named certificate installed into the WAPI
  // library again and described.
  void ReapplyLoaded(const WapiFields& loaded);
  // The two paths, the source of "UserCertPath" and "ASCertPath".
  WapiFields Fields() const;

  void SelectCertTab(WapiCertKind kind);
  WapiCertKind CurrentCertTab() const { return current_; }
  // A Browse click on a page.
  void Browse(WapiCertKind kind);

  WapiCertPage* Page(WapiCertKind kind) const {
    if (kind == WapiCertKind::User) return user_;
    return as_;
  }
  QPushButton* TabButton(WapiCertKind kind) const {
    return kind == WapiCertKind::User ? userTab_ : asTab_;
  }

 private:
  void InstallAndShow(WapiCertPage* page, const std::string& path);
  WapiCertificateCalls& Library();
  const CertificateManagerModule* Certificates() const;
  void Message(LanguageKey key);

  Inputs inputs_;
  std::unique_ptr<WapiCertificateCalls> ownLibrary_;
  QPushButton* userTab_ = nullptr;
  QPushButton* asTab_ = nullptr;
  QStackedWidget* stack_ = nullptr;
  CPageUserCertDlg* user_ = nullptr;
  CPageASCertDlg* as_ = nullptr;
  WapiCertKind current_ = WapiCertKind::User;
};

class PageWidget;

// The inputs of a tab hosted by an editor panel: the panel's services and message box.
CPageWAPIDlg::Inputs WapiTabInputsOf(PageWidget& host);

// The certificate manager's checks for the editor's OK, each empty when the manager does not
// offer it (the check is then skipped).
std::function<bool(const std::string&)> WapiCertCheck(const CertificateManagerModule* manager,
                                                      WapiCertKind kind);

}  // namespace ov
