// The WAPI tab's widgets offscreen over the real WAPI libraries: Browse with a chosen file, the
// Edit that installs the profile's certificates again, and Add's reset.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "profilepages/page_wapi.h"
#include "shell/ui/ui_text.h"

namespace ov {
namespace {

const std::string kCerts = std::string(OVUI_SOURCE_DIR) + "/data/scenarios/wapi";
const std::string kUser = kCerts + "/user.cer";
const std::string kAs = kCerts + "/as.cer";
const WapiCertDetails kUserDetails{"wapi-station", "Orvane WAPI AS", "2046/02/08 19:00:38"};
const WapiCertDetails kAsDetails{"Orvane WAPI AS", "Orvane WAPI AS", "2046/12/05 19:00:38"};

class WapiTabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module.Load());
    ClearWapiCertificates(library);
    CPageWAPIDlg::Inputs inputs;
    inputs.certificates = [this] { return &module; };
    inputs.wapiLibrary = [this] { return &library; };
    inputs.pickCertificate = [this](WapiCertKind) { return QString::fromStdString(chosen); };
    inputs.showMessage = [this](const QString& text) { messages.push_back(text); };
    tab = std::make_unique<CPageWAPIDlg>(std::move(inputs));
  }
  int Held() {
    std::vector<WapiEnumBuffer> buffers;
    int count = -1;
    EXPECT_EQ(library.EnumSystemCertificate(count, buffers), 0);
    return count;
  }
  WapiCertDetails Shown(WapiCertKind kind) {
    WapiCertPage* page = tab->Page(kind);
    return {page->IssuedToValue()->text().toStdString(), page->IssuedByValue()->text().toStdString(),
            page->ExpiresOnValue()->text().toStdString()};
  }

  CertificateManagerModule module;
  WapiDllLibrary library;
  std::string chosen;
  std::vector<QString> messages;
  std::unique_ptr<CPageWAPIDlg> tab;
};

TEST_F(WapiTabTest, BrowseTakesACerFileAndShowsItsDetails) {
  const struct {
    const char* name;
    std::string file;
    std::vector<QString> messages;
    std::string path;
    WapiCertDetails details;
  } rows[] = {
      {"a .cer file", kUser, {}, kUser, kUserDetails},
      {"cancelled", "", {}, "", {}},
      {"a .crt file is refused", kCerts + "/user.crt", {UiText(IDS_ERROR_CER_EXT_NAME)}, "", {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    tab->Reset();
    messages.clear();
    // Browse clears what the library holds.
    ASSERT_FALSE(InstallAndShowCertificate(library, WapiCertKind::As, kAs).refusal);
    chosen = row.file;
    tab->Page(WapiCertKind::User)->BrowseButton()->click();
    EXPECT_EQ(messages, row.messages);
    EXPECT_EQ(tab->Fields().userCertPath, row.path);
    EXPECT_EQ(tab->Page(WapiCertKind::User)->PathEdit()->text().toStdString(), row.path);
    EXPECT_FALSE(tab->Page(WapiCertKind::User)->PathEdit()->isEnabled());
    EXPECT_EQ(Shown(WapiCertKind::User), row.details);
    EXPECT_EQ(Held(), row.path.empty() ? 1 : 0);
  }
}

TEST_F(WapiTabTest, EditInstallsTheProfilesCertificatesAgain) {
  tab->SelectCertTab(WapiCertKind::As);
  tab->ReapplyLoaded({kUser, kAs});
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(tab->CurrentCertTab(), WapiCertKind::User);
  EXPECT_EQ(Shown(WapiCertKind::User), kUserDetails);
  EXPECT_EQ(Shown(WapiCertKind::As), kAsDetails);
  EXPECT_EQ(tab->Fields(), (WapiFields{kUser, kAs}));
  // Each install clears first: the AS certificate is what stays held.
  EXPECT_EQ(Held(), 1);

  tab->Reset();
  EXPECT_EQ(tab->Fields(), WapiFields{});
  EXPECT_EQ(Shown(WapiCertKind::User), WapiCertDetails{});
  EXPECT_EQ(Shown(WapiCertKind::As), WapiCertDetails{});
}

TEST_F(WapiTabTest, EditWithMissingFilesRefusesBothAndKeepsThePaths) {
  tab->ReapplyLoaded({kUser, kAs});
  const std::string gone = kCerts + "/gone-user.cer";
  const std::string goneAs = kCerts + "/gone-as.cer";
  tab->ReapplyLoaded({gone, goneAs});
  EXPECT_EQ(messages, (std::vector<QString>{UiText(IDS_ERROR_LOAD_CER), UiText(IDS_ERROR_LOAD_CER)}));
  EXPECT_EQ(tab->Fields(), (WapiFields{gone, goneAs}));
  EXPECT_EQ(Shown(WapiCertKind::User), WapiCertDetails{}) << "no other profile's details";
  EXPECT_EQ(Shown(WapiCertKind::As), WapiCertDetails{});
}

}  // namespace
}  // namespace ov
