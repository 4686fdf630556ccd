// Import Profile through the real profile editor, in the real main window, offscreen, over a
// store in the test's own folder: each kind of credential becomes the stored profile it should,
// without the editor being shown.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "profilepages/page_auth_encry.h"
#include "profilepages/profile_editor.h"
#include "profiles/profile_store.h"
#include "shell/ui/control_ids.h"
#include "tests/profilepages/editor_test_support.h"
#include "tests/shellui/page_window_fixture.h"
#include "tests/support/wps_credential_maker.h"
#include "widgets/filtering_edit.h"
#include "widgets/info_wnd.h"
#include "wpspages/wps_import.h"

namespace ov {
namespace {

using test::MakeCredential;

constexpr char kGuid[] = "{0F5A51D0-0000-4000-8000-025A0F000621}";

class WpsImportTest : public test::PageWindowFixture<test::ScanHost> {
 protected:
  WpsImportTest() {
    options.services.store = &store;
    options.services.showMessage = [this](const QString& text, QWidget*) {
      messages.push_back(text.toStdString());
      return 1;
    };
    registry.RegisterLowerPanel(LOWER_PANEL_PROFILE_EDITOR, MakeProfileEditorPanel);
    state.WpaReady = true;
  }
  void SetUp() override { window = MakeWindow(); }

  std::string Stored(const std::string& name, const char* key) {
    return store.ReadStoreValue(StoreFileKind::Profiles, name, key);
  }
  bool EditorShown() { return window->LowerPanel(LOWER_PANEL_PROFILE_EDITOR)->isVisible(); }

  ProfileStore store{StoreLocation{dir.path().string() + "/", 4, kGuid}};
  std::vector<std::string> messages;
};

struct Expected {
  const char* ssid;
  const char* authMode;
  const char* cipherMode;
  const char* psk;
  const char* keyUse;
  std::map<std::string, std::string> wep;  // "WEPKey<n>" and "WEPKey<n>Type"
};

TEST_F(WpsImportTest, EveryKindBecomesItsProfileInTableOrder) {
  WpsCredentialTable table;
  const WpsCredential kinds[] = {
      MakeCredential("Open-Net", 1, 1),
      MakeCredential("Wep-5", 1, 2, "AbCdE", 0),
      MakeCredential("Wep-13", 1, 2, "abcdefghijklm", 2),
      MakeCredential("Wep-10", 1, 2, "0123456789", 1),
      MakeCredential("Wep-26", 1, 2, "0123456789ABCDEF0123456789", 3),
      MakeCredential("Wpa-Psk", 2, 4, "wpa passphrase"),
      MakeCredential("Wpa2-Psk", 32, 8, "wpa2 passphrase"),
      MakeCredential("Mixed", 34, 12, "mixed passphrase"),
  };
  for (const WpsCredential& c : kinds) table.Credentials[table.Count++] = c;
  const Expected expected[] = {
      {"Open-Net", "0", "1", "", "1", {}},
      {"Wep-5", "0", "0", "", "1", {{"WEPKey1", "4162436445"}, {"WEPKey1Type", "0"}}},
      {"Wep-13", "0", "0", "", "3",
       {{"WEPKey3", "6162636465666768696a6b6c6d"}, {"WEPKey3Type", "0"}}},
      {"Wep-10", "0", "0", "", "2", {{"WEPKey2", "0123456789"}, {"WEPKey2Type", "1"}}},
      {"Wep-26", "0", "0", "", "4",
       {{"WEPKey4", "0123456789ABCDEF0123456789"}, {"WEPKey4Type", "1"}}},
      {"Wpa-Psk", "4", "4", "wpa passphrase", "1", {}},
      {"Wpa2-Psk", "7", "6", "wpa2 passphrase", "1", {}},
      {"Mixed", "4", "4", "mixed passphrase", "1", {}},
  };

  EXPECT_EQ(ImportWpsCredentials(*window, table), 8);
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_FALSE(EditorShown()) << "the editor is never shown for a saved profile";

  const std::vector<std::string> names = store.ListProfileNames();
  ASSERT_EQ(names.size(), std::size(expected));
  for (size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    const Expected& e = expected[i];
    EXPECT_EQ(Stored(names[i], "SSID"), e.ssid) << "the profiles come in table order";
    EXPECT_EQ(Stored(names[i], "NetworkType"), "1");
    EXPECT_EQ(Stored(names[i], "AuthMode"), e.authMode);
    EXPECT_EQ(Stored(names[i], "CipherMode"), e.cipherMode);
    EXPECT_EQ(Stored(names[i], "WPAPSK"), e.psk);
    EXPECT_EQ(Stored(names[i], "WEPKeyUse"), e.keyUse);
    EXPECT_EQ(Stored(names[i], "Use8021X"), "0");
    for (const auto& [key, value] : e.wep) EXPECT_EQ(Stored(names[i], key.c_str()), value) << key;
  }
}

TEST_F(WpsImportTest, AnEmptyTableDoesNothing) {
  WpsCredentialTable table;
  table.Credentials[0] = MakeCredential("Stale", 1, 1);  // past the count: not a credential
  window->ShowLowerPanel(LOWER_PANEL_LINK_STATUS);

  EXPECT_EQ(ImportWpsCredentials(*window, table), 0);
  EXPECT_TRUE(store.ListProfileNames().empty());
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(EditorShown());
}

// A key the editor refuses stops the import there, on view, rather than dropping the credential
// unseen; the profiles before it are kept and the ones after it are not made.
TEST_F(WpsImportTest, ARefusedCredentialStopsTheImportWithTheEditorShown) {
  WpsCredentialTable table;
  table.Credentials[table.Count++] = MakeCredential("First", 32, 8, "good passphrase");
  table.Credentials[table.Count++] = MakeCredential("Short", 32, 8, "7chars!");
  table.Credentials[table.Count++] = MakeCredential("Third", 1, 1);

  EXPECT_EQ(ImportWpsCredentials(*window, table), 1);
  ASSERT_EQ(store.ListProfileNames().size(), 1u);
  EXPECT_EQ(Stored(store.ListProfileNames()[0], "SSID"), "First");
  EXPECT_TRUE(EditorShown());
  auto* editor = dynamic_cast<CProfileEditorDlg*>(window->LowerPanel(LOWER_PANEL_PROFILE_EDITOR));
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->CurrentTab(), kTabAuthEncry) << "the refused key's tab is in front";
  ASSERT_NE(editor->AuthEncry()->Note(), nullptr);
  EXPECT_TRUE(editor->AuthEncry()->Note()->isVisible()) << "with its reason beside the key";
  EXPECT_EQ(editor->AuthEncry()->Note()->control(), editor->AuthEncry()->PskEdit());
}

}  // namespace
}  // namespace ov
