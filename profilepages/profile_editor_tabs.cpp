#include "profilepages/profile_editor_tabs.h"

#include <QLabel>
#include <QLineEdit>

#include "shell/ui/page_contract.h"
#include "shell/ui/ui_text.h"

namespace ov {

WapiTab::WapiTab(QWidget* parent) : QWidget(parent) {
  setFont(PageFont());
  auto* userLabel = new QLabel(UiText(IDS_NO_USER_CERT), this);
  userLabel->setGeometry(8, 8, 300, 22);
  userCert_ = new QLineEdit(this);
  userCert_->setGeometry(8, 32, 560, 26);
  auto* asLabel = new QLabel(UiText(IDS_NO_AS_CERT), this);
  asLabel->setGeometry(8, 66, 300, 22);
  asCert_ = new QLineEdit(this);
  asCert_->setGeometry(8, 90, 560, 26);
  for (QLineEdit* e : {userCert_, asCert_}) e->setMaxLength(static_cast<int>(kPathMaxLength));
}

void WapiTab::Reset() {
  userCert_->clear();
  asCert_->clear();
}

void WapiTab::ReapplyLoaded(const WapiFields& loaded) {
  userCert_->setText(QString::fromStdString(loaded.userCertPath));
  asCert_->setText(QString::fromStdString(loaded.asCertPath));
}

WapiFields WapiTab::Fields() const {
  return {userCert_->text().toStdString(), asCert_->text().toStdString()};
}

}  // namespace ov
