// The WPS credential panel (lower panel 6) in the real main window, offscreen, on the virtual
// clock, over a real store and an action queue: the Profile Detail texts, and the registrar
// editor's checks, question and what its OK writes.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include "driver/ndis_types.h"
#include "profiles/profile_store.h"
#include "shell/action_queue.h"
#include "shell/ui/control_ids.h"
#include "tests/actionqueue/queue_test_support.h"
#include "tests/profiles/store_test_support.h"
#include "tests/shellui/page_window_fixture.h"
#include "tests/support/wps_credential_maker.h"
#include "widgets/filtering_edit.h"
#include "widgets/info_wnd.h"
#include "wpspages/wps_profile_panel.h"

namespace ov {
namespace {

using test::MakeCredential;
using Choice = CPageWPSProfile::Choice;

class WpsHost final : public test::RecordingHost {
 public:
  ActionQueue* queue = nullptr;
  ActionQueue* ActivationQueue() override { return queue; }
};

class WpsProfilePanelTest : public test::PageWindowFixture<WpsHost> {
 protected:
  WpsProfilePanelTest() {
    options.services.store = &store;
    ActionQueueServices queueServices;
    queueServices.client = &client;
    queueServices.store = &store;
    queue = std::make_unique<ActionQueue>(queueServices);
    host.queue = queue.get();
    registry.RegisterLowerPanel(LOWER_PANEL_WPS_PROFILE, MakeWpsProfilePanel);
    state.ShowPasswordOption = true;
  }
  void SetUp() override {
    window = MakeWindow();
    Panel()->SetAskOkCancel([this](const QString& question, QWidget*) {
      questions.push_back(question.toStdString());
      return answerOk;
    });
  }

  CPageWPSProfile* Panel() {
    return dynamic_cast<CPageWPSProfile*>(window->LowerPanel(LOWER_PANEL_WPS_PROFILE));
  }
  bool PanelShown() { return Panel()->isVisible(); }
  std::string Text(Choice c) { return Panel()->ChoiceText(c)->text().toStdString(); }
  QComboBox* Combo(Choice c) { return Panel()->ChoiceCombo(c); }
  std::string Key() { return Panel()->KeyEdit()->text().toStdString(); }
  void TypeKey(const std::string& key) { Panel()->KeyEdit()->setText(QString::fromStdString(key)); }

  // Registrar mode with credential 0 in the queue's table, the editor open on it.
  void OpenRegistrar(const WpsCredential& credential) {
    WpsStoreState& wps = queue->wps();
    wps.Settings.ConfigMode = kWpsConfigRegistrar;
    wps.Table = WpsCredentialTable{};
    wps.Table.Credentials[0] = credential;
    wps.Table.Count = 1;
    ASSERT_TRUE(ShowWpsProfileDetail(*window, wps.Table, 0, kWpsConfigRegistrar));
    ASSERT_TRUE(Panel()->Editing());
  }
  WpsStoreState Saved() {
    WpsStoreState loaded;
    LoadWpsStore(store, nullptr, loaded);
    return loaded;
  }

  ProfileStore store{test::LocationIn(dir)};
  test::RecordingClient client;
  std::unique_ptr<ActionQueue> queue;
  std::vector<std::string> questions;
  bool answerOk = true;
};

struct DetailRow {
  const char* name;
  WpsCredential credential;
  const char* auth;
  const char* encryption;
  const char* keyLength;
  const char* keyIndex;
  const char* key;       // as first shown
  const char* asciiKey;  // after "ASCII Format"; empty: the box is disabled
};
void PrintTo(const DetailRow& row, std::ostream* os) { *os << row.name; }

class WpsProfileDetail : public WpsProfilePanelTest,
                         public ::testing::WithParamInterface<DetailRow> {};

TEST_P(WpsProfileDetail, TextsOfTheSelectedCredential) {
  const DetailRow& r = GetParam();
  WpsCredentialTable table;
  table.Credentials[0] = MakeCredential("First", 1, 1);
  table.Credentials[1] = r.credential;
  table.Count = 2;
  state.Expanded = true;  // the layout is switched to expanded from either state

  ASSERT_TRUE(ShowWpsProfileDetail(*window, table, 1, kWpsConfigEnrollee));
  EXPECT_TRUE(PanelShown());
  EXPECT_TRUE(state.Expanded);
  EXPECT_FALSE(Panel()->Editing());
  EXPECT_FALSE(Panel()->OkButton()->isVisible());
  EXPECT_TRUE(Panel()->SsidEdit()->isReadOnly());
  EXPECT_EQ(Panel()->SsidEdit()->text(), "Picked");
  EXPECT_EQ(Panel()->MacText()->text(), "02-5A-0F-10-00-21");
  EXPECT_EQ(Text(Choice::Auth), r.auth);
  EXPECT_EQ(Text(Choice::Encryption), r.encryption);
  EXPECT_EQ(Text(Choice::KeyLength), r.keyLength);
  EXPECT_EQ(Text(Choice::KeyIndex), r.keyIndex);
  EXPECT_EQ(Key(), r.key);
  EXPECT_TRUE(Panel()->KeyEdit()->isReadOnly());
  QCheckBox* ascii = Panel()->AsciiFormatBox();
  ASSERT_EQ(ascii->isEnabled(), *r.asciiKey != '\0');
  if (!ascii->isEnabled()) return;
  ascii->click();
  EXPECT_EQ(Key(), r.asciiKey);
  ascii->click();
  EXPECT_EQ(Key(), r.key);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WpsProfileDetail,
    ::testing::Values(
        DetailRow{"OpenNone", MakeCredential("Picked", 1, 1, "junk", 2), "OPEN", "NONE", "", "", "", ""},
        DetailRow{"Wpa2PskAes", MakeCredential("Picked", 32, 8, "passphrase", 1), "WPA2-PSK", "AES", "10",
                  "Key#2", "passphrase", ""},
        DetailRow{"MixedTkipAes", MakeCredential("Picked", 34, 12, "passphrase"), "WPA-PSK;WPA2-PSK",
                  "TKIP;AES", "10", "Key#1", "passphrase", ""},
        DetailRow{"Wep5ShownAsHex", MakeCredential("Picked", 1, 2, "AbCdE", 0), "OPEN", "WEP", "10", "Key#1",
                  "4162436445", "AbCdE"},
        DetailRow{"Wep26Decoded", MakeCredential("Picked", 4, 2, "6162636465666768696a6b6c6d", 0x80000002u),
                  "SHARED", "WEP", "26", "Key#3", "6162636465666768696a6b6c6d", "abcdefghijklm"},
        DetailRow{"Wep10Unprintable", MakeCredential("Picked", 1, 2, "0001020304", 0), "OPEN", "WEP", "10",
                  "Key#1", "0001020304", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WpsProfilePanelTest, ProfileDetailNeedsASelectionAndShowsCredentialZeroToARegistrar) {
  WpsCredentialTable table;
  table.Credentials[0] = MakeCredential("Registrar", 32, 8, "registrar key");
  table.Credentials[1] = MakeCredential("Other", 1, 1);
  table.Count = 2;

  EXPECT_FALSE(ShowWpsProfileDetail(*window, table, -1, kWpsConfigEnrollee));
  EXPECT_FALSE(ShowWpsProfileDetail(*window, table, 2, kWpsConfigEnrollee)) << "past the count";
  EXPECT_FALSE(PanelShown());
  EXPECT_FALSE(state.Expanded) << "nothing happens without a selection";

  ASSERT_TRUE(ShowWpsProfileDetail(*window, table, 1, kWpsConfigRegistrar));
  EXPECT_TRUE(Panel()->Editing());
  EXPECT_EQ(Panel()->SsidEdit()->text(), "Registrar");
  EXPECT_FALSE(Panel()->SsidEdit()->isReadOnly());
  EXPECT_EQ(Combo(Choice::Auth)->currentIndex(), static_cast<int>(RegistrarAuth::Wpa2Psk));
  EXPECT_EQ(Combo(Choice::Encryption)->currentText(), "IDS_AES");
  EXPECT_FALSE(Combo(Choice::KeyLength)->isEnabled());
  EXPECT_EQ(Key(), "registrar key");
  EXPECT_TRUE(Panel()->OkButton()->isVisible());
}

TEST_F(WpsProfilePanelTest, ShowPasswordFollowsTheProgramOption) {
  WpsCredentialTable table;
  table.Credentials[0] = MakeCredential("Net", 32, 8, "secret passphrase");
  table.Count = 1;
  for (const bool option : {false, true}) {
    SCOPED_TRACE(option ? "option on" : "option off");
    state.ShowPasswordOption = option;
    ASSERT_TRUE(ShowWpsProfileDetail(*window, table, 0, kWpsConfigRegistrar));
    EXPECT_EQ(Panel()->ShowPasswordBox()->isVisible(), option);
    EXPECT_EQ(Panel()->KeyEdit()->echoMode(), QLineEdit::Password) << "masked until asked";
    EXPECT_EQ(Panel()->KeyEdit()->displayText(), QString(17, QLatin1Char('*')));
    if (!option) continue;
    Panel()->ShowPasswordBox()->click();
    EXPECT_EQ(Panel()->KeyEdit()->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(Panel()->KeyEdit()->displayText(), "secret passphrase");
  }
}

TEST_F(WpsProfilePanelTest, ASevenCharacterWpa2KeyIsRefusedWithTheHexDigitsText) {
  const WpsCredential before = MakeCredential("Home", 32, 8, "long enough key");
  OpenRegistrar(before);
  QSignalSpy saved(Panel(), &CPageWPSProfile::credentialSaved);
  TypeKey("1234567");

  EXPECT_FALSE(Panel()->OnOK());
  ASSERT_NE(Panel()->Note(), nullptr);
  EXPECT_TRUE(Panel()->Note()->isVisible());
  EXPECT_EQ(Panel()->Note()->text().trimmed(),
            "Invalid WPA Pre-Shared key. WPA-PSK use field should be 64 hex digits.");
  EXPECT_EQ(Panel()->Note()->control(), Panel()->KeyEdit());
  EXPECT_EQ(window->focusWidget(), Panel()->KeyEdit());
  EXPECT_TRUE(PanelShown()) << "the editor stays open";
  EXPECT_EQ(queue->wps().Table.Credentials[0], before);
  EXPECT_EQ(saved.count(), 0);
  EXPECT_TRUE(questions.empty());
  EXPECT_EQ(Saved().Table.Count, 0u) << "nothing saved";

  clock.advance(CInfoWnd::kShowMs);
  EXPECT_FALSE(Panel()->Note()->isVisible());
  TypeKey("12345678");
  EXPECT_TRUE(Panel()->OnOK()) << "any key of eight characters or more is taken";
  EXPECT_EQ(WpsCredentialKey(queue->wps().Table.Credentials[0]), "12345678");
}

TEST_F(WpsProfilePanelTest, OkWritesCredentialZeroResetsTheIndexesAndSaves) {
  WpsCredential before = MakeCredential("Old", 32, 8, "old passphrase", 1);
  OpenRegistrar(before);
  queue->wps().WpsProfileInUse = 1;
  queue->wps().Settings.Channel = 11;
  queue->activation().AppliedCredentialIndex = 3;
  queue->activation().NextCredentialIndex = 4;
  QSignalSpy saved(Panel(), &CPageWPSProfile::credentialSaved);

  Panel()->SsidEdit()->setText("New-Net");
  Combo(Choice::Auth)->setCurrentIndex(static_cast<int>(RegistrarAuth::WpaPsk));
  EXPECT_EQ(Combo(Choice::Encryption)->currentText(), "IDS_AES") << "the PSK family keeps its cipher";
  Combo(Choice::Encryption)->setCurrentIndex(0);  // TKIP
  TypeKey("new passphrase");
  ASSERT_TRUE(Panel()->OnOK());

  const WpsCredential& c = queue->wps().Table.Credentials[0];
  EXPECT_EQ(WpsCredentialSsid(c), "New-Net");
  EXPECT_EQ(c.AuthType, WPS_AUTH_WPAPSK);
  EXPECT_EQ(c.EncryType, WPS_ENCR_TKIP);
  EXPECT_EQ(c.KeyIndex, 0u);
  EXPECT_EQ(c.KeyLength, 14u);
  EXPECT_EQ(c.MacAddr, before.MacAddr);
  EXPECT_EQ(queue->activation().AppliedCredentialIndex, 0u);
  EXPECT_EQ(queue->activation().NextCredentialIndex, 0u);
  EXPECT_EQ(saved.count(), 1);
  EXPECT_FALSE(PanelShown()) << "back to the link status";

  const WpsStoreState stored = Saved();
  EXPECT_EQ(stored.Table, queue->wps().Table);
  EXPECT_EQ(stored.Settings.ConfigMode, kWpsConfigRegistrar);
  EXPECT_EQ(stored.WpsProfileInUse, 1) << "MarkWpsUse wrote WSC";
  EXPECT_EQ(stored.Settings.Channel, 11);
}

TEST_F(WpsProfilePanelTest, OpenWithNoneAsksAndCancelKeepsThePreviousCredential) {
  const WpsCredential before = MakeCredential("Home", 32, 8, "long enough key");
  OpenRegistrar(before);
  Combo(Choice::Auth)->setCurrentIndex(static_cast<int>(RegistrarAuth::Open));
  EXPECT_EQ(Combo(Choice::Encryption)->currentText(), "IDS_NONE");
  EXPECT_TRUE(Panel()->KeyEdit()->isReadOnly()) << "no key without encryption";
  EXPECT_EQ(Key(), "");

  answerOk = false;
  EXPECT_FALSE(Panel()->OnOK());
  EXPECT_EQ(questions, std::vector<std::string>{"Your configuration is not secure"});
  EXPECT_TRUE(PanelShown()) << "Cancel keeps the editor open";
  EXPECT_EQ(queue->wps().Table.Credentials[0], before);
  EXPECT_EQ(Saved().Table.Count, 0u);

  answerOk = true;
  ASSERT_TRUE(Panel()->OnOK());
  const WpsCredential& c = queue->wps().Table.Credentials[0];
  EXPECT_EQ(c.AuthType, WPS_AUTH_OPEN);
  EXPECT_EQ(c.EncryType, WPS_ENCR_NONE);
  EXPECT_EQ(c.KeyLength, 0u);
  EXPECT_EQ(Saved().Table.Credentials[0], c);
}

// The WEP controls: the key edit's limit and characters follow the length combo, "ASCII
// Format" switches between the pairs of sizes, and each limit has its own text.
TEST_F(WpsProfilePanelTest, WepKeyFormsAndTheirChecks) {
  OpenRegistrar(MakeCredential("Home", 32, 8, "long enough key"));
  Combo(Choice::Auth)->setCurrentIndex(static_cast<int>(RegistrarAuth::Open));
  Combo(Choice::Encryption)->setCurrentIndex(1);  // WEP
  ASSERT_TRUE(Combo(Choice::KeyLength)->isEnabled());
  ASSERT_TRUE(Panel()->AsciiFormatBox()->isEnabled());

  struct Row {
    int choice;
    int maxLength;
    CharacterClass characters;
    bool ascii;
    const char* shortKey;
    const char* message;
  };
  const Row rows[] = {
      {0, 5, CharacterClass::PrintableAscii, true, "abc",
       "Invalid WEP Key length. WEP Key should be 5 ascii characters"},
      {1, 10, CharacterClass::Hex, false, "0123",
       "Invalid WEP Key length. WEP Key should be 10 hex digits"},
      {2, 13, CharacterClass::PrintableAscii, true, "abc",
       "Invalid WEP Key length. WEP Key should be 13 ascii characters"},
      {3, 26, CharacterClass::Hex, false, "0123",
       "Invalid WEP Key length. WEP Key should be 26 hex digits"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.maxLength);
    Combo(Choice::KeyLength)->setCurrentIndex(r.choice);
    EXPECT_EQ(Panel()->KeyEdit()->maxLength(), r.maxLength);
    EXPECT_EQ(Panel()->KeyEdit()->characterClass(), r.characters);
    EXPECT_EQ(Panel()->AsciiFormatBox()->isChecked(), r.ascii);
    TypeKey(r.shortKey);
    EXPECT_FALSE(Panel()->OnOK());
    EXPECT_EQ(Panel()->Note()->text().trimmed().toStdString(), r.message);
  }

  // 26 hex digits -> "ASCII Format" -> 13 characters, the hex key dropped.
  TypeKey("0123456789abcdef0123456789");
  Panel()->AsciiFormatBox()->click();
  EXPECT_EQ(Combo(Choice::KeyLength)->currentIndex(), 2);
  EXPECT_EQ(Key(), "");
  Combo(Choice::KeyIndex)->setCurrentIndex(2);
  TypeKey("abcdefghijklm");
  ASSERT_TRUE(Panel()->OnOK());
  EXPECT_TRUE(questions.empty()) << "WEP is not asked about";
  const WpsCredential& c = queue->wps().Table.Credentials[0];
  EXPECT_EQ(c.AuthType, WPS_AUTH_OPEN);
  EXPECT_EQ(c.EncryType, WPS_ENCR_WEP);
  EXPECT_EQ(c.KeyLength, 13u);
  EXPECT_EQ(c.KeyIndex, 2u);
  EXPECT_EQ(WpsCredentialKey(c), "abcdefghijklm");
}

TEST_F(WpsProfilePanelTest, CancelAndCloseWriteNothing) {
  const WpsCredential before = MakeCredential("Home", 32, 8, "long enough key");
  OpenRegistrar(before);
  TypeKey("changed passphrase");
  Panel()->CancelButton()->click();
  EXPECT_FALSE(PanelShown());
  EXPECT_EQ(queue->wps().Table.Credentials[0], before);
  EXPECT_EQ(Saved().Table.Count, 0u);

  ASSERT_TRUE(ShowWpsProfileDetail(*window, queue->wps().Table, 0, kWpsConfigEnrollee));
  EXPECT_EQ(Panel()->CancelButton()->text(), "IDS_BTN_CLOSE");
  Panel()->CancelButton()->click();
  EXPECT_FALSE(PanelShown());
  EXPECT_EQ(Saved().Table.Count, 0u);
}

}  // namespace
}  // namespace ov
