#pragma once
#include <QWidget>

#include "profilepages/profile_editor_rules.h"

class QLabel;
class QLineEdit;

// The editor's 802.1X and WAPI tabs as far as they exist: each keeps its fields of the profile
// record, resets them for Add and takes the loaded ones for Edit, so an Edit saves back what it
// loaded. Their own controls (methods, sub-pages, certificates) come with those pages.
namespace ov {

class Eap8021XTab : public QWidget {
  Q_OBJECT

 public:
  explicit Eap8021XTab(QWidget* parent = nullptr);
  void Reset() { fields_ = EapFields{}; }
  void ReapplyLoaded(const EapFields& loaded) { fields_ = loaded; }
  EapFields& Fields() { return fields_; }
  // The method the security page may change (MD5-Challenge becomes PEAP for WPA).
  uint32_t& EapMethod() { return fields_.authenProtocol; }
  // Nothing to refuse until the tab has its controls: the loaded fields are saved as they are.
  bool Validate() const { return true; }

 private:
  EapFields fields_;
};

class WapiTab : public QWidget {
  Q_OBJECT

 public:
  explicit WapiTab(QWidget* parent = nullptr);
  void Reset();
  void ReapplyLoaded(const WapiFields& loaded);
  WapiFields Fields() const;
  QLineEdit* UserCertEdit() const { return userCert_; }
  QLineEdit* AsCertEdit() const { return asCert_; }

 private:
  QLineEdit* userCert_ = nullptr;
  QLineEdit* asCert_ = nullptr;
};

}  // namespace ov
