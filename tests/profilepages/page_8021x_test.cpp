// The 802.1X page in the profile editor, in the real main window offscreen: the method menus and
// sub-tabs as the user sees them, OK's refusals, the certificate pages over a test PKI made with
// the openssl command, and a PEAP profile saved and reloaded by Edit.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "profilepages/page_8021x.h"
#include "profilepages/page_auth_encry.h"
#include "profilepages/page_sys_config.h"
#include "profilepages/profile_editor.h"
#include "profiles/profile_store.h"
#include "shell/ui/control_ids.h"
#include "tests/profilepages/editor_test_support.h"
#include "tests/shellui/page_window_fixture.h"

namespace ov {
namespace {

namespace fs = std::filesystem;
using A = AuthChoice;
using C = CipherChoice;
using T = EapSubTab;

constexpr char kGuid[] = "{0F5A51D0-0000-4000-8000-025A0F000601}";

bool Sh(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

std::string Sha1Hex(const std::string& pem) {
  std::string out;
  FILE* pipe = ::popen(("openssl x509 -noout -fingerprint -sha1 -in '" + pem + "' 2>/dev/null").c_str(), "r");
  char buffer[256];
  while (pipe && std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
  if (pipe) ::pclose(pipe);
  std::string hex;
  for (size_t i = out.find('=') + 1; i < out.size(); ++i)
    if (std::isxdigit(static_cast<unsigned char>(out[i]))) hex += out[i];
  return hex;
}

class Page8021XTest : public test::PageWindowFixture<test::ScanHost> {
 protected:
  Page8021XTest() {
    options.services.store = &store;
    options.services.showMessage = [this](const QString& text, QWidget*) {
      messages.push_back(text.toStdString());
      return 1;
    };
    registry.RegisterLowerPanel(LOWER_PANEL_PROFILE_EDITOR, MakeProfileEditorPanel);
    state.WpaReady = true;
    state.ShowPasswordOption = true;
    state.Adapter.chipFamily = static_cast<ChipFamily>(4);
    const char* saved = std::getenv("XDG_DATA_HOME");
    hadXdg_ = saved != nullptr;
    if (saved) savedXdg_ = saved;
    ::setenv("XDG_DATA_HOME", (dir.path() / "data").c_str(), 1);
    personal_ = dir.path() / "data/ovui/certs";
  }
  ~Page8021XTest() override {
    if (hadXdg_) ::setenv("XDG_DATA_HOME", savedXdg_.c_str(), 1);
    else ::unsetenv("XDG_DATA_HOME");
  }
  void SetUp() override { window = MakeWindow(); }

 public:
  CProfileEditorDlg* Editor() {
    return dynamic_cast<CProfileEditorDlg*>(window->LowerPanel(LOWER_PANEL_PROFILE_EDITOR));
  }
  CPage8021XDlg* Eap() { return Editor()->Eap(); }

 protected:
  // Add a WPA2 (enterprise) profile and bring the 802.1X tab forward.
  void AddEnterprise(const std::string& name) {
    ASSERT_TRUE(OpenProfileEditorForAdd(*window));
    Editor()->SysConfig()->NameEdit()->setText(QString::fromStdString(name));
    Editor()->SysConfig()->SsidCombo()->setEditText("Orvane-Corp");
    Editor()->AuthEncry()->ChooseAuth(A::Wpa2);
    Editor()->AuthEncry()->ChooseCipher(C::Aes);
    ASSERT_TRUE(Editor()->TabButtonAt(kTab8021X)->isEnabled());
    Editor()->SelectTab(kTab8021X);
  }
  // A CA and a client certificate it signed; the client goes to the personal folder as PEM.
  void MakePki() {
    const std::string d = dir.path().string();
    ASSERT_TRUE(Sh("cd '" + d + "' && openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key"
                   " -out ca.pem -days 30 -subj '/CN=Test Lab Root'"));
    ASSERT_TRUE(Sh("cd '" + d + "' && openssl req -newkey rsa:2048 -nodes -keyout c.key -out c.csr"
                   " -subj '/CN=alice'"));
    ASSERT_TRUE(Sh("cd '" + d + "' && openssl x509 -req -in c.csr -CA ca.pem -CAkey ca.key"
                   " -CAcreateserial -out client.pem -days 10"));
    fs::create_directories(personal_);
    fs::copy_file(dir.path() / "client.pem", personal_ / "alice.pem");
  }
  std::string Stored(const std::string& name, const char* key) {
    return store.ReadStoreValue(StoreFileKind::Profiles, name, key);
  }
  std::vector<T> VisibleSubTabs() {
    std::vector<std::pair<int, T>> shown;
    for (int i = 0; i < 5; ++i) {
      QPushButton* b = Eap()->SubTabButton(static_cast<T>(i));
      if (b->isVisibleTo(Eap())) shown.emplace_back(b->x(), static_cast<T>(i));
    }
    std::sort(shown.begin(), shown.end());
    std::vector<T> out;
    for (auto& s : shown) out.push_back(s.second);
    return out;
  }

  ProfileStore store{StoreLocation{dir.path().string() + "/", 4, kGuid}};
  std::vector<std::string> messages;
  fs::path personal_;
  std::string savedXdg_;
  bool hadXdg_ = false;
};

// The method menu as the user picks from it: caption, inner button, sub-tabs in their slots.
struct MethodRow {
  const char* name;
  const char* menuText;  // empty: not offered, chosen by command
  uint32_t method;
  const char* caption;
  bool innerShown;
  bool innerEnabled;
  const char* innerCaption;
  std::vector<T> tabs;
  T selected;
};

class MethodMenuTest : public Page8021XTest, public ::testing::WithParamInterface<MethodRow> {};

TEST_P(MethodMenuTest, ArrangesTheInnerButtonAndSubTabs) {
  const MethodRow& row = GetParam();
  AddEnterprise("corp");
  if (*row.menuText) {
    QAction* item = nullptr;
    for (QAction* a : Eap()->MethodMenu()->actions())
      if (a->isVisible() && a->text() == row.menuText) item = a;
    ASSERT_NE(item, nullptr);
    item->trigger();
  } else {
    for (QAction* a : Eap()->MethodMenu()->actions())
      if (a->text() == row.caption) EXPECT_FALSE(a->isVisible());
    Eap()->ChooseMethod(row.method);
  }
  EXPECT_EQ(Eap()->MethodButton()->text(), row.caption);
  EXPECT_EQ(Eap()->InnerButton()->isVisibleTo(Eap()), row.innerShown);
  EXPECT_EQ(Eap()->InnerButton()->isEnabled(), row.innerEnabled);
  EXPECT_EQ(Eap()->InnerButton()->text(), row.innerCaption);
  EXPECT_EQ(VisibleSubTabs(), row.tabs);
  EXPECT_EQ(Eap()->CurrentSubTab(), row.selected);
  EXPECT_EQ(Eap()->Fields().authenProtocol, row.method);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MethodMenuTest,
    ::testing::Values(
        MethodRow{"Peap", "IDS_8021X_EAP_PEAP", kEapPeap, "IDS_8021X_EAP_PEAP", true, true,
                  "IDS_8021X_PEAP_TUNNEL_MSCHAP2",
                  {T::Credentials, T::ClientCert, T::ServerCert, T::SingleSignOn}, T::Credentials},
        MethodRow{"Tls", "IDS_8021X_EAP_TLS_SMART_CARD", kEapTls, "IDS_8021X_EAP_TLS_SMART_CARD",
                  true, false, "", {T::Credentials, T::ClientCert, T::ServerCert, T::SingleSignOn},
                  T::Credentials},
        MethodRow{"FastShowsOnlySso", "IDS_8021X_EAP_EAP_FAST", kEapFast, "IDS_8021X_EAP_EAP_FAST",
                  false, false, "", {T::SingleSignOn}, T::SingleSignOn},
        MethodRow{"Leap", "IDS_LEAP", kEapLeap, "IDS_LEAP", true, false, "",
                  {T::Credentials, T::SingleSignOn}, T::Credentials},
        MethodRow{"TtlsFromAStoredProfile", "", kEapTtls, "IDS_8021X_EAP_TTLS", true, true,
                  "IDS_8021X_TTLS_TUNNEL_CHAP",
                  {T::Credentials, T::ClientCert, T::ServerCert, T::SingleSignOn}, T::Credentials},
        MethodRow{"Md5FromAStoredProfile", "", kEapMd5, "IDS_8021X_EAP_MD5", true, false, "",
                  {T::Credentials, T::ServerCert, T::SingleSignOn}, T::Credentials}),
    [](const auto& info) { return std::string(info.param.name); });

// OK with the 802.1X tab in use: the page's message and the 802.1X tab; nothing stored.
struct EapRefusalRow {
  const char* name;
  std::function<void(CPage8021XDlg&)> fill;
  const char* message;  // empty: saved
};

class EapRefusalTest : public Page8021XTest, public ::testing::WithParamInterface<EapRefusalRow> {};

TEST_P(EapRefusalTest, RefusesWithThePagesMessage) {
  const EapRefusalRow& row = GetParam();
  AddEnterprise("corp");
  Editor()->SelectTab(kTabSysConfig);
  row.fill(*Eap());
  const bool saved = Editor()->OnOK();
  if (!*row.message) {
    EXPECT_TRUE(saved) << (messages.empty() ? "" : messages[0]);
    EXPECT_EQ(store.ListProfileNames(), std::vector<std::string>{"corp"});
    return;
  }
  EXPECT_FALSE(saved);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], row.message);
  EXPECT_EQ(Editor()->CurrentTab(), kTab8021X);
  EXPECT_TRUE(store.ListProfileNames().empty());
}

void PeapIds(CPage8021XDlg& p) {
  p.IdentityEdit()->setText("alice");
  p.TunnelIdEdit()->setText("alice");
}
void ServerName(CPage8021XDlg& p, const char* name, int rule) {
  PeapIds(p);
  p.TunnelPasswordEdit()->setText("pw");
  p.UseServerCertBox()->click();
  p.ServerNameEdit()->setText(name);
  p.NameRuleRadio(rule)->click();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EapRefusalTest,
    ::testing::Values(
        EapRefusalRow{"PeapWithoutTunnelPassword", PeapIds, "IDS_TUNNELPWDREQUIRED"},
        EapRefusalRow{"GtcSoftTokenAllEmpty",
                      [](CPage8021XDlg& p) {
                        p.ChoosePeapInner(kInnerGtc);
                        EXPECT_TRUE(p.PasswordModeRadio(0)->isVisibleTo(&p));
                        p.PasswordModeRadio(0)->click();
                        EXPECT_FALSE(p.TunnelIdEdit()->isEnabled());
                      },
                      ""},
        EapRefusalRow{"LeapPromptUserEmptyIdentity",
                      [](CPage8021XDlg& p) {
                        p.ChooseMethod(kEapLeap);
                        p.PasswordModeRadio(3)->click();
                      },
                      ""},
        EapRefusalRow{"DomainWithoutDot", [](CPage8021XDlg& p) { ServerName(p, "corp", 1); },
                      kInvalidServerDomainText},
        EapRefusalRow{"DomainDotLast", [](CPage8021XDlg& p) { ServerName(p, "corp.", 1); },
                      kInvalidServerDomainText},
        EapRefusalRow{"DomainGood", [](CPage8021XDlg& p) { ServerName(p, "radius.corp", 1); }, ""},
        EapRefusalRow{"ServerNameRequired", [](CPage8021XDlg& p) { ServerName(p, "", 0); },
                      "IDS_IDREQUIRED"},
        EapRefusalRow{"PeapTlsWithoutCertificate",
                      [](CPage8021XDlg& p) {
                        PeapIds(p);
                        p.ChoosePeapInner(kInnerTls);
                      },
                      "IDS_CHECKRULE5"},
        EapRefusalRow{"PlainTlsWithoutCertificate", [](CPage8021XDlg& p) { p.ChooseMethod(kEapTls); },
                      ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Page8021XTest, TlsWithoutPersonalCertificateForcesTheBoxOnOverAnEmptyList) {
  AddEnterprise("corp");
  Eap()->ChooseMethod(kEapTls);
  EXPECT_TRUE(Eap()->UseClientCertBox()->isChecked());
  EXPECT_FALSE(Eap()->UseClientCertBox()->isEnabled());
  EXPECT_EQ(Eap()->ClientCertCombo()->count(), 0);
  // Back to PEAP with EAP-MSCHAP v2: the box is the user's again.
  Eap()->ChooseMethod(kEapPeap);
  EXPECT_TRUE(Eap()->UseClientCertBox()->isEnabled());
}

TEST_F(Page8021XTest, ClientCertificateFromThePersonalFolderIsStoredByItsSha1) {
  MakePki();
  AddEnterprise("corp");
  PeapIds(*Eap());
  Eap()->ChoosePeapInner(kInnerTls);
  Eap()->SelectSubTab(T::ClientCert);
  ASSERT_EQ(Eap()->ClientCertCombo()->count(), 1);
  EXPECT_EQ(Eap()->ClientCertCombo()->currentText(), "alice");
  EXPECT_EQ(Eap()->ClientCertText(0)->text(), "alice");
  EXPECT_EQ(Eap()->ClientCertText(1)->text(), "Test Lab Root");
  EXPECT_FALSE(Eap()->ClientCertText(2)->text().isEmpty());
  ASSERT_TRUE(Editor()->OnOK()) << (messages.empty() ? "" : messages[0]);
  const std::string hash = Sha1Hex((dir.path() / "client.pem").string());
  ASSERT_EQ(hash.size(), 40u);
  EXPECT_EQ(Stored("corp", "ClientCertLen"), "20");
  EXPECT_TRUE(QString::fromStdString(Stored("corp", "ClientCertData")).compare(
                  QString::fromStdString(hash), Qt::CaseInsensitive) == 0)
      << Stored("corp", "ClientCertData") << " vs " << hash;

  // Edit selects the stored certificate again; clearing the box drops the hash.
  ASSERT_TRUE(OpenProfileEditorForEdit(*window, "corp"));
  EXPECT_EQ(Eap()->ClientCertCombo()->currentText(), "alice");
  Eap()->ChoosePeapInner(kInnerMsChapV2);
  Eap()->TunnelPasswordEdit()->setText("pw");
  Eap()->UseClientCertBox()->click();
  EXPECT_FALSE(Eap()->ClientCertCombo()->isEnabled());
  EXPECT_EQ(Eap()->ClientCertCombo()->count(), 0);
  ASSERT_TRUE(Editor()->OnOK());
  EXPECT_EQ(Stored("corp", "ClientCertLen"), "0");
}

TEST_F(Page8021XTest, ServerCaListStartsWithAnyTrustedCaAndStoresTheChosenHash) {
  MakePki();
  const std::string bundle = (dir.path() / "bundle.crt").string();
  fs::copy_file(dir.path() / "ca.pem", bundle);
  CPage8021XDlg::Inputs inputs;
  inputs.trustBundle = bundle;
  inputs.personalCertFolder = personal_.string();
  CPage8021XDlg page(inputs);
  page.Reset();
  page.SelectSubTab(T::ServerCert);
  ASSERT_EQ(page.ServerCaCombo()->count(), 2);
  EXPECT_EQ(page.ServerCaCombo()->itemText(0), "- Any Trusted CA -");
  EXPECT_EQ(page.ServerCaCombo()->itemText(1), "Test Lab Root");
  EXPECT_EQ(page.ServerCaCombo()->currentIndex(), 0);
  EXPECT_TRUE(page.Fields().serverCert.empty());
  page.UseServerCertBox()->click();
  page.ServerCaCombo()->setCurrentIndex(1);
  const EapFields fields = page.Fields();
  ASSERT_EQ(fields.serverCert.size(), 20u);
  char hex[41] = {};
  for (size_t i = 0; i < 20; ++i) std::snprintf(hex + 2 * i, 3, "%02X", fields.serverCert[i]);
  EXPECT_EQ(std::string(hex), Sha1Hex((dir.path() / "ca.pem").string()));

  // Reloaded, the stored CA is selected again once the server page is shown.
  page.ReapplyLoaded(fields);
  page.SelectSubTab(T::ServerCert);
  EXPECT_EQ(page.ServerCaCombo()->currentIndex(), 1);
}

TEST_F(Page8021XTest, PeapProfileSavedThenEditedShowsTheSameChoices) {
  AddEnterprise("Office");
  Eap()->IdentityEdit()->setText("alice");
  Eap()->TunnelIdEdit()->setText("alice");
  Eap()->TunnelPasswordEdit()->setText("Alice-Pass-1");
  Eap()->UseServerCertBox()->click();
  Eap()->ServerNameEdit()->setText("radius.corp");
  Eap()->NameRuleRadio(1)->click();
  ASSERT_TRUE(Editor()->OnOK()) << (messages.empty() ? "" : messages[0]);
  EXPECT_EQ(Stored("Office", "AuthenProtocol"), "0");
  EXPECT_EQ(Stored("Office", "TunnelProtocol"), "26");
  EXPECT_EQ(Stored("Office", "ID"), "alice");
  EXPECT_EQ(Stored("Office", "NameRule"), "1");

  ASSERT_TRUE(OpenProfileEditorForEdit(*window, "Office"));
  Editor()->SelectTab(kTab8021X);
  EXPECT_EQ(Eap()->MethodButton()->text(), "IDS_8021X_EAP_PEAP");
  EXPECT_EQ(Eap()->InnerButton()->text(), "IDS_8021X_PEAP_TUNNEL_MSCHAP2");
  EXPECT_EQ(Eap()->IdentityEdit()->text(), "alice");
  EXPECT_EQ(Eap()->TunnelPasswordEdit()->text(), "Alice-Pass-1");
  EXPECT_EQ(Eap()->TunnelPasswordEdit()->echoMode(), QLineEdit::Password);
  EXPECT_TRUE(Eap()->UseServerCertBox()->isChecked());
  EXPECT_EQ(Eap()->ServerNameEdit()->text(), "radius.corp");
  EXPECT_TRUE(Eap()->NameRuleRadio(1)->isChecked());
  EXPECT_FALSE(Eap()->PasswordEdit()->isEnabled());

  // A TTLS profile reloads with its inner method; Add resets to PEAP.
  store.WriteStoreValues(StoreFileKind::Profiles, "ttls",
                         {{"SSID", "corp"}, {"NetworkType", "1"}, {"AuthMode", "6"},
                          {"CipherMode", "6"}, {"Use8021X", "1"}, {"AuthenProtocol", "2"},
                          {"TunnelProtocol", "4"}});
  ASSERT_TRUE(OpenProfileEditorForEdit(*window, "ttls"));
  EXPECT_EQ(Eap()->MethodButton()->text(), "IDS_8021X_EAP_TTLS");
  EXPECT_EQ(Eap()->InnerButton()->text(), "IDS_8021X_TTLS_TUNNEL_PAP");
  ASSERT_TRUE(OpenProfileEditorForAdd(*window));
  EXPECT_EQ(Eap()->MethodButton()->text(), "IDS_8021X_EAP_PEAP");
  EXPECT_TRUE(Eap()->IdentityEdit()->text().isEmpty());
}

// The program option "EAPFastEnhancement" (the monitor's ShellState) reaches the page: the
// EAP-FAST tunnel choice then shows the certificate sub-tabs for an EAP-TLS tunnel or a PAC.
TEST_F(Page8021XTest, EapFastEnhancementFromTheProgramOptionShowsCertificateSubTabs) {
  const struct {
    const char* name;
    bool option;
    uint32_t tunnel;
    std::vector<T> tabs;
  } rows[] = {
      {"off, TLS tunnel", false, kInnerTls, {T::SingleSignOn}},
      {"on, TLS tunnel", true, kInnerTls, {T::SingleSignOn, T::ClientCert, T::ServerCert}},
      {"on, MS-CHAP v2 tunnel", true, kInnerMsChapV2, {T::SingleSignOn}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    state.EapFastEnhancement = row.option;
    AddEnterprise("corp");
    Eap()->ChooseMethod(kEapFast);
    Eap()->ChooseProvisioningTunnel(row.tunnel);
    EXPECT_EQ(VisibleSubTabs(), row.tabs);
    Editor()->OnCancel();
  }
}

}  // namespace
}  // namespace ov
