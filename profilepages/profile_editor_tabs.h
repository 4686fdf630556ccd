#pragma once
#include <QWidget>

#include "profilepages/profile_editor_rules.h"

class QLabel;
class QLineEdit;

// The editor's WAPI tab as far as it exists: it keeps its fields of the profile record, resets
// them for Add and takes the loaded ones for Edit, so an Edit saves back what it loaded.
namespace ov {

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
