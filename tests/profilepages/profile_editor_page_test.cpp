// The profile editor and the security editor as lower panels of the real main window,
// offscreen, on the virtual clock, over a store in the test's own folder: what the user sees and
// what OK writes or refuses.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include "driver/oid/bssid_list.h"
#include "profilepages/page_auth_encry.h"
#include "profilepages/page_sys_config.h"
#include "profilepages/profile_editor.h"
#include "profilepages/page_wapi.h"
#include "profilepages/security_editor.h"
#include "profiles/profile_store.h"
#include "shell/ui/control_ids.h"
#include "tests/profilepages/editor_test_support.h"
#include "tests/shellui/page_window_fixture.h"
#include "widgets/filtering_edit.h"
#include "widgets/info_wnd.h"
#include "widgets/slider_link.h"

namespace ov {
namespace {

using A = AuthChoice;
using C = CipherChoice;

constexpr char kGuid[] = "{0F5A51D0-0000-4000-8000-025A0F000601}";

using test::kRsnPsk;
using test::ScanHost;

class EditorPageTest : public test::PageWindowFixture<ScanHost> {
 protected:
  EditorPageTest() {
    options.services.store = &store;
    options.services.showMessage = [this](const QString& text, QWidget*) {
      messages.push_back(text.toStdString());
      return 1;
    };
    registry.RegisterLowerPanel(LOWER_PANEL_PROFILE_EDITOR, MakeProfileEditorPanel);
    registry.RegisterLowerPanel(LOWER_PANEL_SECURITY_EDITOR, MakeSecurityEditorPanel);
    state.WpaReady = true;
    state.ShowPasswordOption = true;
    state.Adapter.chipFamily = static_cast<ChipFamily>(4);
    BssidListWriter writer(host.list);
    writer.Append(test::ScanEntry("Orvane-WPA2-AES", 5, true, 2437000, kRsnPsk));
    writer.Append(test::ScanEntry("Orvane-Open", 1, false, 2412000));
  }
  void SetUp() override { window = MakeWindow(); }

 public:  // the table rows drive the pages
  CProfileEditorDlg* Editor() {
    return dynamic_cast<CProfileEditorDlg*>(window->LowerPanel(LOWER_PANEL_PROFILE_EDITOR));
  }
  CSecurityEditorDlg* SecurityEditor() {
    return dynamic_cast<CSecurityEditorDlg*>(window->LowerPanel(LOWER_PANEL_SECURITY_EDITOR));
  }
  CPageSystemConfigDlg* Sys() { return Editor()->SysConfig(); }
  CPageAuthEncryDlg* Auth() { return Editor()->AuthEncry(); }
  std::string Stored(const std::string& name, const char* key) {
    return store.ReadStoreValue(StoreFileKind::Profiles, name, key);
  }

 protected:
  // Add with an SSID typed, ready for OK.
  void AddNamed(const std::string& name, const std::string& ssid) {
    ASSERT_TRUE(OpenProfileEditorForAdd(*window));
    Sys()->NameEdit()->setText(QString::fromStdString(name));
    Sys()->SsidCombo()->setEditText(QString::fromStdString(ssid));
  }
  // A menu as the user opens it: its items enabled for the state, then the one with `text`.
  static QAction* MenuItem(QMenu* menu, const char* text) {
    emit menu->aboutToShow();
    for (QAction* a : menu->actions())
      if (a->text() == text) return a;
    return nullptr;
  }

  ProfileStore store{StoreLocation{dir.path().string() + "/", 4, kGuid}};
  std::vector<std::string> messages;
};

TEST_F(EditorPageTest, AddOffersTheNextNameAndTheScannedSsids) {
  store.WriteStoreValue(StoreFileKind::Profiles, "IDS_PROF3", "SSID", "x");
  store.WriteStoreValue(StoreFileKind::Profiles, " IDS_PROF7x", "SSID", "y");
  ASSERT_TRUE(OpenProfileEditorForAdd(*window));
  EXPECT_TRUE(Editor()->isVisible());
  EXPECT_EQ(Editor()->CurrentTab(), kTabSysConfig);
  EXPECT_EQ(Sys()->NameEdit()->text(), "IDS_PROF8");
  ASSERT_EQ(Sys()->SsidCombo()->count(), 2);
  EXPECT_EQ(Sys()->SsidCombo()->itemText(0), "Orvane-WPA2-AES");
  EXPECT_EQ(Sys()->SsidCombo()->itemData(0).toString(), "025A0F100005");
  EXPECT_EQ(Sys()->NetworkTypeButton()->text(), "IDS_INFRA");
  EXPECT_FALSE(Sys()->PreambleButton()->isEnabled());
  EXPECT_FALSE(Sys()->ChannelList()->isVisible());
  EXPECT_EQ(Auth()->AuthButton()->text(), "IDS_OPENSYSTEM");
  EXPECT_EQ(Auth()->CipherButton()->text(), "IDS_NONE");
  EXPECT_FALSE(Editor()->TabButtonAt(kTab8021X)->isEnabled());
}

// Each refusal shows one message and brings its tab forward; nothing is stored.
struct RefusalRow {
  const char* name;
  const char* profileName;
  const char* ssid;
  std::function<void(EditorPageTest&)> change;
  const char* message;
  int tab;
};

class EditorRefusalTest : public EditorPageTest, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(EditorRefusalTest, ShowsOneMessageAndTheTab) {
  const RefusalRow& row = GetParam();
  store.WriteStoreValue(StoreFileKind::Profiles, "office", "SSID", "corp");
  AddNamed(row.profileName, row.ssid);
  if (row.change) row.change(*this);
  Editor()->SelectTab(kTab8021X);
  EXPECT_FALSE(Editor()->OnOK());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], row.message);
  EXPECT_EQ(Editor()->CurrentTab(), row.tab);
  EXPECT_TRUE(Editor()->isVisible());
  EXPECT_EQ(store.ListProfileNames(), std::vector<std::string>{"office"});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EditorRefusalTest,
    ::testing::Values(
        RefusalRow{"EmptyName", "", "net", nullptr, "IDS_INPUTPROFILENAME", kTabSysConfig},
        RefusalRow{"EmptySsid", "home", "", nullptr, "IDS_ADHOCINPUTSSID", kTabSysConfig},
        RefusalRow{"DuplicateName", "office", "net", nullptr, "IDS_DUPLIPROF", kTabSysConfig},
        RefusalRow{"AdhocWpaPskIsRefusedNotDowngraded", "home", "net",
                   [](EditorPageTest& t) {
                     t.Auth()->ChooseAuth(A::WpaPsk);
                     t.Auth()->PskEdit()->setText("long enough key");
                     t.Sys()->ChooseNetworkType(false);
                   },
                   kAdhocSecurityRefusedText, kTabAuthEncry},
        RefusalRow{"LeapWithoutPassword", "home", "net",
                   [](EditorPageTest& t) {
                     t.Auth()->ChooseAuth(A::Leap);
                     t.Auth()->LeapUserEdit()->setText("  me ");
                     t.Auth()->LeapPasswordEdit()->setText("   ");
                   },
                   "IDS_CHECKRULE8", kTabAuthEncry}),
    [](const auto& info) { return std::string(info.param.name); });

// The pre-shared key refusal is a note beside the field, not a message box.
TEST_F(EditorPageTest, KeyRefusalIsANoteBesideTheFieldForFourSeconds) {
  AddNamed("home", "net");
  Auth()->ChooseAuth(A::Shared);
  Editor()->SelectTab(kTabAuthEncry);
  QTest::mouseClick(Auth()->KeyRadio(1), Qt::LeftButton);
  ASSERT_TRUE(Auth()->KeyEdit(1)->isEnabled());
  EXPECT_FALSE(Auth()->KeyEdit(0)->isEnabled());
  Auth()->KeyEdit(1)->setText("0123456789ab");
  Editor()->SelectTab(kTabSysConfig);
  EXPECT_FALSE(Editor()->OnOK());
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Editor()->CurrentTab(), kTabAuthEncry);
  ASSERT_TRUE(Auth()->Note()->isVisible());
  EXPECT_EQ(Auth()->Note()->text(),
            " Invalid WEP Key 2 length. WEP Key should be 10 or 26 hex digits ");
  EXPECT_EQ(Auth()->Note()->control(), Auth()->KeyEdit(1));
  clock.advance(CInfoWnd::kShowMs - 1);
  EXPECT_TRUE(Auth()->Note()->isVisible());
  clock.advance(1);
  EXPECT_FALSE(Auth()->Note()->isVisible());
  EXPECT_TRUE(store.ListProfileNames().empty());
}

TEST_F(EditorPageTest, PskNoteUsesTheLanguageText) {
  AddNamed("home", "net");
  Auth()->ChooseAuth(A::WpaPsk);
  Auth()->PskEdit()->setText(QString(63, 'a') + "g");
  EXPECT_FALSE(Editor()->OnOK());
  EXPECT_EQ(Auth()->Note()->text(), " IDS_MSGPSKKEYINVALID ");
}

TEST_F(EditorPageTest, SavedThresholdsFollowTheirBoxes) {
  AddNamed("home", "net");
  QTest::mouseClick(Sys()->RtsBox(), Qt::LeftButton);
  EXPECT_TRUE(Sys()->Rts()->isEnabled());
  QLineEdit* rtsEdit = Sys()->Rts()->edit();
  rtsEdit->clear();
  QTest::keyClicks(rtsEdit, "5000");
  EXPECT_EQ(rtsEdit->text(), "2347");
  EXPECT_EQ(Sys()->Rts()->value(), 2347);
  rtsEdit->clear();
  QTest::keyClicks(rtsEdit, "900");
  QTest::mouseClick(Sys()->FragBox(), Qt::LeftButton);
  QLineEdit* fragEdit = Sys()->Frag()->edit();
  fragEdit->clear();
  QTest::keyClicks(fragEdit, "100");
  EXPECT_EQ(Sys()->Frag()->slider()->value(), 256);
  QTest::mouseClick(Sys()->FragBox(), Qt::LeftButton);  // off again: back to 2346
  EXPECT_EQ(Sys()->Frag()->value(), 2346);
  ASSERT_TRUE(Editor()->OnOK());
  EXPECT_EQ(Stored("home", "UseRts"), "1");
  EXPECT_EQ(Stored("home", "RtsThresh"), "900");
  EXPECT_EQ(Stored("home", "UseFrag"), "0");
  EXPECT_EQ(Stored("home", "FragThresh"), "2346");
  EXPECT_FALSE(Editor()->isVisible()) << "OK returns the lower frame to the link status";
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_LINK_STATUS);
}

TEST_F(EditorPageTest, AdhocShowsTheChannelAndOnlyKeyOne) {
  AddNamed("home", "net");
  Sys()->ChooseNetworkType(false);
  EXPECT_TRUE(Sys()->ChannelList()->isVisible());
  EXPECT_TRUE(Sys()->PreambleButton()->isEnabled());
  EXPECT_FALSE(Sys()->CamRadio()->isEnabled());
  // No driver answer: region 0 of a family 4 adapter, 1-11.
  EXPECT_EQ(Sys()->ChannelList()->count(), 11);
  Auth()->ChooseCipher(C::Wep);
  EXPECT_FALSE(Auth()->Use8021XBox()->isVisibleTo(Auth()));
  EXPECT_TRUE(Auth()->KeyRadio(0)->isEnabled());
  EXPECT_FALSE(Auth()->KeyRadio(1)->isEnabled());
  QAction* wpaPsk = MenuItem(Auth()->AuthMenu(), "IDS_WPAPSK");
  ASSERT_NE(wpaPsk, nullptr);
  EXPECT_FALSE(wpaPsk->isEnabled());
}

TEST_F(EditorPageTest, MenusAreEnabledForTheState) {
  AddNamed("home", "net");
  EXPECT_TRUE(MenuItem(Auth()->AuthMenu(), "IDS_WPA2PSK")->isEnabled());
  EXPECT_FALSE(MenuItem(Auth()->AuthMenu(), "IDS_WAPIPSK")->isVisible());
  EXPECT_FALSE(MenuItem(Auth()->CipherMenu(), "IDS_TKIP")->isEnabled());
  MenuItem(Auth()->AuthMenu(), "IDS_WPA2")->trigger();
  EXPECT_EQ(Auth()->CipherButton()->text(), "IDS_TKIP");
  EXPECT_TRUE(Editor()->TabButtonAt(kTab8021X)->isEnabled());
  EXPECT_TRUE(MenuItem(Auth()->CipherMenu(), "IDS_AES_MFP")->isEnabled());
  EXPECT_FALSE(MenuItem(Auth()->CipherMenu(), "IDS_WEP")->isEnabled());
  state.WpaReady = false;
  EXPECT_FALSE(MenuItem(Auth()->AuthMenu(), "IDS_WPA2PSK")->isEnabled());
}

TEST_F(EditorPageTest, ShowPasswordNeedsTheProgramOption) {
  AddNamed("home", "net");
  Auth()->ChooseAuth(A::WpaPsk);
  Editor()->SelectTab(kTabAuthEncry);
  EXPECT_TRUE(Auth()->ShowPasswordBox()->isVisible());
  EXPECT_EQ(Auth()->PskEdit()->echoMode(), QLineEdit::Password);
  QTest::mouseClick(Auth()->ShowPasswordBox(), Qt::LeftButton);
  EXPECT_EQ(Auth()->PskEdit()->echoMode(), QLineEdit::Normal);
  EXPECT_EQ(Auth()->KeyEdit(0)->echoMode(), QLineEdit::Normal);

  state.ShowPasswordOption = false;
  Auth()->ChooseAuth(A::WpaPsk);
  EXPECT_FALSE(Auth()->ShowPasswordBox()->isVisible());
  EXPECT_EQ(Auth()->PskEdit()->echoMode(), QLineEdit::Password);
}

TEST_F(EditorPageTest, KeyFormatSetsTheEditsRules) {
  AddNamed("home", "net");
  Auth()->ChooseCipher(C::Wep);
  EXPECT_EQ(Auth()->KeyEdit(0)->maxLength(), 26);
  EXPECT_EQ(Auth()->KeyEdit(0)->characterClass(), CharacterClass::Hex);
  Auth()->ChooseKeyFormat(0, false);
  EXPECT_EQ(Auth()->KeyFormatButton(0)->text(), "IDS_ASCII");
  EXPECT_EQ(Auth()->KeyEdit(0)->maxLength(), 13);
  QTest::keyClicks(Auth()->KeyEdit(0), "Ab1~ ");
  ASSERT_TRUE(Editor()->OnOK());
  EXPECT_EQ(Stored("home", "WEPKey1"), "4162317e20");
  EXPECT_EQ(Stored("home", "WEPKey1Type"), "0");
  EXPECT_EQ(Stored("home", "CipherMode"), "0");
}

TEST_F(EditorPageTest, EditReloadsTheChoicesAndKeepsActiveTime) {
  AddNamed("home", "Orvane-WPA2-AES");
  Auth()->ChooseAuth(A::Wpa2Psk);
  Auth()->ChooseCipher(C::Aes);
  Auth()->PskEdit()->setText("orvane-sim-2");
  ASSERT_TRUE(Editor()->OnOK());
  store.WriteStoreValue(StoreFileKind::Profiles, "home", "ActiveTime", "2026, 12, 10, 1, 2, 3");

  ASSERT_TRUE(OpenProfileEditorForEdit(*window, "home"));
  EXPECT_FALSE(Editor()->IsNewProfile());
  EXPECT_EQ(Sys()->NameEdit()->text(), "home");
  EXPECT_EQ(Sys()->SsidCombo()->currentIndex(), 0);
  EXPECT_EQ(Auth()->AuthButton()->text(), "IDS_WPA2PSK");
  EXPECT_EQ(Auth()->CipherButton()->text(), "IDS_AES");
  EXPECT_EQ(Auth()->PskEdit()->text(), "orvane-sim-2");
  ASSERT_TRUE(Editor()->OnOK());
  EXPECT_EQ(Stored("home", "ActiveTime"), "2026, 12, 10, 1, 2, 3");
  EXPECT_TRUE(messages.empty());

  EXPECT_FALSE(OpenProfileEditorForEdit(*window, "missing"));

  // MFP ciphers belong to WPA2: a stored one reloads as it was.
  store.WriteStoreValues(StoreFileKind::Profiles, "mfp",
                         {{"SSID", "corp"}, {"NetworkType", "1"}, {"AuthMode", "6"},
                          {"CipherMode", "10"}, {"Use8021X", "1"}});
  ASSERT_TRUE(OpenProfileEditorForEdit(*window, "mfp"));
  EXPECT_EQ(Auth()->AuthButton()->text(), "IDS_WPA2");
  EXPECT_EQ(Auth()->CipherButton()->text(), "IDS_AES_MFP");
  EXPECT_TRUE(Editor()->TabButtonAt(kTab8021X)->isEnabled());
}

TEST_F(EditorPageTest, EditRenamedOntoAnotherProfileIsRefused) {
  for (const char* name : {"home", "office"}) {
    AddNamed(name, name);
    ASSERT_TRUE(Editor()->OnOK());
  }
  ASSERT_TRUE(OpenProfileEditorForEdit(*window, "home"));
  Sys()->NameEdit()->setText("office");
  Sys()->SsidCombo()->setEditText("changed");
  EXPECT_FALSE(Editor()->OnOK());
  EXPECT_EQ(messages, std::vector<std::string>{"IDS_DUPLIPROF"});
  EXPECT_EQ(Stored("office", "SSID"), "office");
  Sys()->NameEdit()->setText("home");
  EXPECT_TRUE(Editor()->OnOK());
  EXPECT_EQ(Stored("home", "SSID"), "changed");
}

TEST_F(EditorPageTest, LeapProfileLoadsInItsOwnLayout) {
  store.WriteStoreValues(StoreFileKind::Profiles, "cisco",
                         {{"SSID", "corp"}, {"NetworkType", "1"}, {"AuthMode", "0"},
                          {"CipherMode", "4"}, {"LeapEnabled", "1"}, {"LeapUserName", "me"},
                          {"LeapPassword", "pw"}});
  ASSERT_TRUE(OpenProfileEditorForEdit(*window, "cisco"));
  Editor()->SelectTab(kTabAuthEncry);
  EXPECT_EQ(Auth()->AuthButton()->text(), "IDS_LEAP");
  EXPECT_FALSE(Auth()->CipherButton()->isVisible());
  EXPECT_FALSE(Auth()->PskEdit()->isVisible());
  EXPECT_FALSE(Auth()->KeyEdit(0)->isVisible());
  EXPECT_TRUE(Auth()->LeapUserEdit()->isVisible());
  EXPECT_TRUE(Auth()->LeapEncryptionRadio(2)->isVisible());
  EXPECT_EQ(Auth()->LeapUserEdit()->text(), "me");
  EXPECT_TRUE(Auth()->LeapEncryptionRadio(1)->isChecked());
  ASSERT_TRUE(Editor()->OnOK());
  EXPECT_EQ(Stored("cisco", "LeapEnabled"), "1");
  EXPECT_EQ(Stored("cisco", "LeapEncryType"), "1");
  EXPECT_EQ(Stored("cisco", "CipherMode"), "4");
}

TEST_F(EditorPageTest, AddToProfilePresetsTheSurveyedNetwork) {
  const auto entry = test::ScanEntry("Orvane-WPA2-AES", 5, true, 2437000, kRsnPsk);
  ASSERT_TRUE(OpenProfileEditorFromSurvey(*window, entry));
  EXPECT_EQ(Sys()->SsidCombo()->currentText(), "Orvane-WPA2-AES");
  EXPECT_EQ(Sys()->SsidCombo()->currentIndex(), 0);
  EXPECT_EQ(Auth()->AuthButton()->text(), "IDS_WPA2PSK");
  EXPECT_EQ(Auth()->CipherButton()->text(), "IDS_AES");
  EXPECT_TRUE(Auth()->PskEdit()->isEnabled());

  const auto adhoc = test::ScanEntry("Orvane-AdHoc", 9, true, 2457000, {}, false);
  ASSERT_TRUE(OpenProfileEditorFromSurvey(*window, adhoc));
  EXPECT_EQ(Sys()->NetworkTypeButton()->text(), "IDS_ADHOC");
  EXPECT_EQ(Sys()->ChannelList()->currentText(), "10");
  EXPECT_EQ(Auth()->CipherButton()->text(), "IDS_WEP");
}

TEST_F(EditorPageTest, CancelWritesNothing) {
  AddNamed("home", "net");
  QTest::mouseClick(Editor()->CancelButton(), Qt::LeftButton);
  EXPECT_FALSE(Editor()->isVisible());
  EXPECT_TRUE(store.ListProfileNames().empty());
}

TEST_F(EditorPageTest, SecurityEditorAsksForTheSecretOfTheNetwork) {
  const auto entry = test::ScanEntry("Orvane-WPA2-AES", 5, true, 2437000, kRsnPsk);
  ASSERT_TRUE(OpenSecurityEditorForConnect(*window, entry));
  CSecurityEditorDlg* editor = SecurityEditor();
  EXPECT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->NetworkLabel()->text(), "Orvane-WPA2-AES");
  CPageAuthEncryDlg* page = editor->AuthEncry();
  EXPECT_EQ(page->AuthButton()->text(), "IDS_WPA2PSK");
  page->PskEdit()->setText("seven77");
  EXPECT_FALSE(editor->OnOK());
  EXPECT_EQ(page->Note()->text(), " IDS_MSGWPA2PSKKEYINVALID ");
  page->PskEdit()->setText("orvane-sim-2");
  const StationProfile record = editor->ConnectionRecord();
  EXPECT_EQ(NdisSsidText(record.ssid), "Orvane-WPA2-AES");
  EXPECT_EQ(record.useBssid, 1);
  EXPECT_EQ(record.bssid[5], 5);
  EXPECT_EQ(record.authMode, kAuthWpa2Psk);
  EXPECT_EQ(record.cipherMode, kCipherAes);
  EXPECT_EQ(record.psk, "orvane-sim-2");
  EXPECT_EQ(record.channelFrequency, 2437000u);
  EXPECT_EQ(record.rtsThreshold, 2347u);
}

}  // namespace
}  // namespace ov
