// The profile list page in the real main window, offscreen, on the virtual clock, over a real
// store and an action queue whose wireless client records what it is asked to apply.
#include <gtest/gtest.h>

#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <filesystem>

#include "platform/time/monitor_messages.h"
#include "profilepages/page_profile.h"
#include "profilepages/profile_editor_entry.h"
#include "shell/ui/control_ids.h"
#include "profiles/profile_store.h"
#include "shell/action_queue.h"
#include "shell/ui/ui_text.h"
#include "tests/actionqueue/queue_test_support.h"
#include "tests/profiles/store_test_support.h"
#include "tests/shellui/page_window_fixture.h"

namespace ov {
namespace {

namespace fs = std::filesystem;

class ProfileHost final : public test::RecordingHost {
 public:
  ActionQueue* queue = nullptr;
  bool showActiveIcon = true;
  std::vector<std::string> applied;
  ActionQueue* ActivationQueue() override { return queue; }
  bool ShowActiveProfileIcon() override { return showActiveIcon; }
  void NoteAppliedProfile(const std::string& name) override { applied.push_back(name); }
};

class ProfilePageTest : public test::PageWindowFixture<ProfileHost> {
 protected:
  ProfilePageTest() {
    options.services.store = &store;
    options.services.showMessage = [this](const QString& text, QWidget*) {
      messages.push_back(text.toStdString());
      return 1;
    };
    ActionQueueServices queueServices;
    queueServices.client = &client;
    queueServices.store = &store;
    queue = std::make_unique<ActionQueue>(queueServices);
    queue->adapter().radioOn = true;
    queue->adapter().isAdmin = true;
    queue->adapter().wpaReady = true;
    host.queue = queue.get();
    state.RadioOn = true;
    state.Adapter.isAdmin = true;
    dialogs.importPath = [this](QWidget*) { return importPath; };
    dialogs.exportPath = [this](QWidget*) { return exportPath; };
    dialogs.confirmOverwrite = [this](const QString& question, QWidget*) {
      questions.push_back(question.toStdString());
      return overwrite;
    };
    registry.RegisterPage(TabButton::Profile, [this](const PageContext& context, QWidget* parent) {
      auto* page = new CPageProfileDlg(context, parent);
      page->SetFileDialogs(dialogs);
      return page;
    });
  }

  void Put(const std::string& name, std::vector<ProfileStore::KeyValue> values) {
    ASSERT_TRUE(store.WriteStoreValues(StoreFileKind::Profiles, name, values));
  }
  void PutOpen(const std::string& name, const std::string& ssid) {
    Put(name, {{"SSID", ssid}, {"NetworkType", "1"}, {"AuthMode", "0"}, {"CipherMode", "1"}});
  }
  void Show() {
    window = MakeWindow();
    window->ShowPage(TabButton::Profile);
    ASSERT_NE(Page(), nullptr);
  }
  CPageProfileDlg* Page() { return dynamic_cast<CPageProfileDlg*>(window->Page(TabButton::Profile)); }
  void Click(int id) { Page()->Button(id)->click(); }
  bool Enabled(int id) { return Page()->Button(id)->isEnabled(); }
  // The image a cell shows, as the list's number; -1 for none.
  int Image(int row, int column) {
    const QVariant cell = Page()->List()->model()->index(row, column).data(Qt::DecorationRole);
    if (!cell.isValid()) return -1;
    const qint64 key = cell.value<QIcon>().cacheKey();
    for (int i = 0; i < kProfileImageCount; ++i) {
      if (!ProfileImage(i).isNull() && ProfileImage(i).cacheKey() == key) return i;
    }
    return -2;  // an icon the list does not have
  }
  std::string Active() const {
    return store.ReadStoreValue(StoreFileKind::Station, kActiveSection, kCurProfileKey);
  }
  std::string Detail(size_t i) { return Page()->DetailValue(i)->text().toStdString(); }
  static std::string Text(LanguageKey key) { return UiText(key).toStdString(); }

  ProfileStore store{test::LocationIn(dir)};
  test::RecordingClient client;
  std::unique_ptr<ActionQueue> queue;
  ProfileFileDialogs dialogs;
  std::optional<std::string> importPath;
  std::optional<std::string> exportPath;
  bool overwrite = false;
  std::vector<std::string> questions;
  std::vector<std::string> messages;
};

const int kActingButtons[] = {IDC_PROF_EDIT, IDC_PROF_DEL, IDC_PROF_ACTIVATE, IDC_PROF_EXPORT};

TEST_F(ProfilePageTest, TheOnlyRowIsActedOnWithoutASelection) {
  for (int button : kActingButtons) {
    SCOPED_TRACE(button);
    for (const std::string& name : store.ListProfileNames()) store.DeleteProfileSection(name);
    PutOpen("Cafe", "Orvane-Open");
    messages.clear();
    client.applied.clear();
    exportPath = (dir.path() / "cafe.prof").string();
    fs::remove(*exportPath);
    Show();
    ASSERT_FALSE(Page()->SelectedRow());
    EXPECT_EQ(Detail(0), "Cafe") << "the only row's details are shown";
    Click(button);
    switch (button) {
      case IDC_PROF_ACTIVATE:
        EXPECT_EQ(Active(), "Cafe");
        ASSERT_EQ(client.applied.size(), 1u);
        EXPECT_EQ(client.applied[0].ssid, "Orvane-Open");
        EXPECT_EQ(host.applied, std::vector<std::string>{"Cafe"});
        break;
      case IDC_PROF_EXPORT:
        EXPECT_NE(test::ReadFileBytes(*exportPath).find("[Cafe]"), std::string::npos);
        break;
      case IDC_PROF_DEL:
        EXPECT_TRUE(store.ListProfileNames().empty());
        EXPECT_TRUE(Page()->Rows().empty());
        for (int b : kActingButtons) EXPECT_FALSE(Enabled(b)) << b;
        EXPECT_EQ(Detail(0), "");
        break;
      case IDC_PROF_EDIT:
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find("profile editor is missing"), std::string::npos) << messages[0];
        break;
    }
    if (button != IDC_PROF_EDIT) EXPECT_TRUE(messages.empty()) << messages.front();
    window.reset();
  }
}

TEST_F(ProfilePageTest, ManyRowsWithoutASelectionAskForOne) {
  PutOpen("Cafe", "Orvane-Open");
  PutOpen("Home", "Orvane-Home");
  exportPath = (dir.path() / "out.prof").string();
  Show();
  const auto before = test::Snapshot(dir.path());
  for (int button : kActingButtons) {
    SCOPED_TRACE(button);
    messages.clear();
    Click(button);
    EXPECT_EQ(messages, std::vector<std::string>{Text(IDS_NOSELECTEDITEM)});
  }
  EXPECT_EQ(test::Snapshot(dir.path()), before);
  EXPECT_TRUE(client.applied.empty());
  EXPECT_EQ(Detail(0), "") << "no details without a row to show";
}

TEST_F(ProfilePageTest, ImagesForSecurityNetworkTypeAndTheActiveRow) {
  Put("Wapi", {{"SSID", "W"}, {"NetworkType", "1"}, {"AuthMode", "256"}, {"CipherMode", "256"}});
  PutOpen("Open", "O");
  Put("Peer", {{"SSID", "P"}, {"NetworkType", "0"}, {"AuthMode", "0"}, {"CipherMode", "0"}});
  ASSERT_TRUE(store.ActivateProfileInStore("Peer", "2026, 1, 1, 0, 0, 0"));
  Show();
  EXPECT_EQ(Image(0, 3), kProfileImageWapi);
  EXPECT_EQ(Image(1, 3), -1) << "open, no cipher, no 802.1X";
  EXPECT_EQ(Image(2, 3), kProfileImageSecured);
  EXPECT_EQ(Image(0, 4), kProfileImageInfrastructure);
  EXPECT_EQ(Image(2, 4), kProfileImageAdhoc);
  // No wireless client here: the active profile is not connected.
  EXPECT_EQ(Image(2, 0), kProfileImageActiveNotConnected);
  EXPECT_EQ(Image(0, 0), -1);
  EXPECT_EQ(Image(1, 0), -1);
  EXPECT_EQ(Page()->List()->model()->index(1, 1).data().toString().toStdString(), "Open");
  EXPECT_EQ(Page()->List()->model()->index(1, 2).data().toString().toStdString(), "O");

  window.reset();
  host.showActiveIcon = false;
  Show();
  clock.advance(kActiveIconPeriodMs);
  EXPECT_EQ(Image(2, 0), -1) << "ActiveProfileIcon 0: never a state image";
}

TEST_F(ProfilePageTest, AStandardUserOnlyApplies) {
  state.Adapter.isAdmin = false;
  queue->adapter().isAdmin = false;
  PutOpen("Cafe", "Orvane-Open");
  PutOpen("Home", "Orvane-Home");
  ASSERT_TRUE(store.ActivateProfileInStore("Cafe", "2026, 1, 1, 0, 0, 0"));
  Show();
  for (int id : {IDC_PROF_ADD, IDC_PROF_EDIT, IDC_PROF_DEL, IDC_PROF_IMPORT, IDC_PROF_EXPORT}) {
    EXPECT_FALSE(Enabled(id)) << id;
  }
  Page()->SelectRow(1);
  EXPECT_FALSE(Enabled(IDC_PROF_EDIT)) << "selecting does not enable what the user may not do";
  ASSERT_TRUE(Enabled(IDC_PROF_ACTIVATE));
  const auto before = test::Snapshot(dir.path());
  Click(IDC_PROF_ACTIVATE);
  EXPECT_EQ(test::Snapshot(dir.path()), before) << "the store is not written";
  EXPECT_EQ(queue->activation().SelectedProfileName, "Home");
  ASSERT_EQ(client.applied.size(), 1u);
  EXPECT_EQ(client.applied[0].ssid, "Orvane-Home") << "the loader reads the selected section";
  EXPECT_EQ(Page()->CurrentName(), "Home");
  EXPECT_EQ(Image(1, 0), kProfileImageActiveNotConnected) << "the applied profile is the active one";
  EXPECT_EQ(Image(0, 0), -1) << "not CurProfile, which this user's activation did not change";
  EXPECT_FALSE(Enabled(IDC_PROF_DEL));
}

TEST_F(ProfilePageTest, ExportAsksBeforeReplacingAFile) {
  PutOpen("Cafe", "Orvane-Open");
  exportPath = (dir.path() / "existing.prof").string();
  test::WriteFileBytes(*exportPath, "keep me");
  Show();
  overwrite = false;
  Click(IDC_PROF_EXPORT);
  EXPECT_EQ(questions, std::vector<std::string>{Text(IDS_IM_EXPORT_EXPORT_FILE_EXIST)});
  EXPECT_EQ(test::ReadFileBytes(*exportPath), "keep me") << "Cancel leaves the file";
  EXPECT_TRUE(messages.empty());

  overwrite = true;
  Click(IDC_PROF_EXPORT);
  EXPECT_NE(test::ReadFileBytes(*exportPath).find("[Cafe]"), std::string::npos);

  exportPath = (dir.path() / "no-such-folder" / "x.prof").string();
  Click(IDC_PROF_EXPORT);
  EXPECT_EQ(messages, std::vector<std::string>{Text(IDS_IM_EXPORT_PROFILE_OPEN_FILE_FAIL)});
}

TEST_F(ProfilePageTest, ImportResultsAreShown) {
  PutOpen("Cafe", "Orvane-Open");
  const struct {
    const char* name;
    std::optional<std::string> content;  // none: the file does not exist
    std::string message;                 // "" for none; a prefix for the store's own results
  } rows[] = {
      {"Imported", "[Home]\r\nSSID=Orvane-Home\r\nNetworkType=1\r\n", ""},
      {"TwoProfiles", "[A]\r\nSSID=a\r\n[B]\r\nSSID=b\r\n", Text(IDS_IM_EXPORT_PROFILE_MORE_THAN_ONE)},
      {"NoProfile", "just text\r\n", Text(IDS_IM_EXPORT_PROFILE_NO_PROFILE)},
      {"NameExists", "[cafe]\r\nSSID=x\r\n", Text(IDS_IM_EXPORT_PROFILE_PROFILE_EXIST)},
      {"ValueInvalid", "[Bad]\r\nSSID=x\r\nAuthMode=77\r\n", "The profile in the file cannot be stored: "},
      {"Unreadable", std::nullopt, "The file cannot be read as a profile file: "},
      {"TooLarge", std::string(2u << 20, ';'), "The file cannot be read as a profile file: "},
  };
  Show();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    messages.clear();
    importPath = (dir.path() / (std::string(row.name) + ".prof")).string();
    if (row.content) test::WriteFileBytes(*importPath, *row.content);
    Click(IDC_PROF_IMPORT);
    if (row.message.empty()) {
      EXPECT_TRUE(messages.empty());
    } else {
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_EQ(messages[0].rfind(row.message, 0), 0u) << messages[0];
    }
  }
  std::vector<std::string> listed;
  for (const ProfileRow& row : Page()->Rows()) listed.push_back(row.Name);
  EXPECT_EQ(listed, (std::vector<std::string>{"Cafe", "Home"})) << "only the good file was added";
}

TEST_F(ProfilePageTest, RadioOffIgnoresTheActions) {
  PutOpen("Cafe", "Orvane-Open");
  state.RadioOn = false;
  Show();
  const auto before = test::Snapshot(dir.path());
  for (int id : {IDC_PROF_ADD, IDC_PROF_EDIT, IDC_PROF_DEL, IDC_PROF_ACTIVATE}) Click(id);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(test::Snapshot(dir.path()), before);
  EXPECT_TRUE(client.applied.empty());
}

TEST_F(ProfilePageTest, AnEapDialogHoldsTheButtons) {
  PutOpen("Cafe", "Orvane-Open");
  Show();
  const int all[] = {IDC_PROF_ADD, IDC_PROF_EDIT, IDC_PROF_DEL, IDC_PROF_ACTIVATE, IDC_PROF_IMPORT,
                     IDC_PROF_EXPORT};
  Page()->OnMonitorMessage(Message{WM_MON_EAP_UI_DONE, 0, 0});
  for (int id : all) EXPECT_FALSE(Enabled(id)) << id;
  Page()->SelectRow(0);
  EXPECT_FALSE(Enabled(IDC_PROF_ACTIVATE)) << "a selection does not undo it";
  Page()->OnMonitorMessage(Message{WM_MON_EAP_UI_DONE, 1, 0});
  for (int id : all) EXPECT_TRUE(Enabled(id)) << id;
}

TEST_F(ProfilePageTest, DetailsOfTheSelectedRow) {
  Put("Lab", {{"SSID", "Orvane-WPA2-AES"}, {"NetworkType", "1"}, {"AuthMode", "7"},
              {"CipherMode", "6"}, {"UseRts", "1"}, {"RtsThresh", "1500"}, {"TXPower", "9"}});
  PutOpen("Cafe", "Orvane-Open");
  Show();
  Page()->SelectRow(0);
  const std::vector<std::string> expected = {
      "Lab", "Orvane-WPA2-AES", Text(IDS_INFRA), Text(IDS_WPA2PSK), Text(IDS_AES), "NO", "",
      Text(IDS_AUTO), Text(IDS_SYS_CAM), "1500", ""};
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(Detail(i), expected[i]) << i;
  Page()->SelectRow(1);
  EXPECT_EQ(Detail(0), "Cafe");
}

TEST_F(ProfilePageTest, NextDefaultName) {
  const std::string prefix = Text(IDS_PROF);
  PutOpen(prefix + "1", "a");
  PutOpen(prefix + "7", "b");
  std::string lower = prefix;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  PutOpen(lower + "30", "c");
  Show();
  EXPECT_EQ(Page()->NextDefaultProfileName(), prefix + "8");
}

// The credential prompt as the list reaches it (lower panel 8): answers as scripted, remembers
// what it was asked.
class ScriptedPrompt final : public QWidget, public PeapPromptPanel {
 public:
  ScriptedPrompt(QWidget* parent, std::vector<PeapPromptRequest>* asked,
                 const std::optional<PeapPromptAnswer>* answer)
      : QWidget(parent), asked_(asked), answer_(answer) {}
  std::optional<PeapPromptAnswer> Run(const PeapPromptRequest& request) override {
    asked_->push_back(request);
    return *answer_;
  }

 private:
  std::vector<PeapPromptRequest>* asked_;
  const std::optional<PeapPromptAnswer>* answer_;
};

// Apply of a PEAP profile that lacks a credential asks first; the answer goes into the active
// configuration only, and a declined prompt applies nothing.
TEST_F(ProfilePageTest, ApplyAsksForMissingPeapCredentialsFirst) {
  std::vector<PeapPromptRequest> asked;
  std::optional<PeapPromptAnswer> answer;
  registry.RegisterLowerPanel(LOWER_PANEL_PEAP_SETTING, [&](const PageContext&, QWidget* parent) {
    return new ScriptedPrompt(parent, &asked, &answer);
  });
  const struct {
    const char* name;
    std::vector<ProfileStore::KeyValue> eap;
    std::optional<PeapPromptAnswer> answer;
    std::optional<PeapPromptRequest> asked;
    bool applied;
    const char* activeTunnelId;
    const char* activeTunnelPassword;
  } rows[] = {
      {"one-time password",
       {{"AuthenProtocol", "0"}, {"TunnelProtocol", "6"}, {"PasswordMode", "0"}, {"TunnelID", "tok"}},
       PeapPromptAnswer{"tok", "123456"}, PeapPromptRequest{"tok", false, false, false}, true, "tok",
       "123456"},
      {"declined", {{"AuthenProtocol", "0"}, {"TunnelProtocol", "6"}, {"PasswordMode", "0"}},
       std::nullopt, PeapPromptRequest{"", false, false, false}, false, "", ""},
      {"new user name",
       {{"AuthenProtocol", "0"}, {"TunnelProtocol", "6"}, {"PasswordMode", "3"},
        {"TunnelID", "old"}, {"TunnelPassword", "old-pw"}},
       PeapPromptAnswer{"new", "new-pw"}, PeapPromptRequest{"", true, false, false}, true, "new",
       "new-pw"},
      {"nothing missing",
       {{"AuthenProtocol", "0"}, {"TunnelProtocol", "26"}, {"TunnelID", "a"}, {"TunnelPassword", "b"}},
       std::nullopt, std::nullopt, true, "a", "b"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    for (const std::string& name : store.ListProfileNames()) store.DeleteProfileSection(name);
    store.ResetActiveConfig();
    ASSERT_TRUE(store.WriteStoreValues(StoreFileKind::Station, kActiveSection,
                                       {{"TunnelID", ""}, {"TunnelPassword", ""}}));
    std::vector<ProfileStore::KeyValue> values = {{"SSID", "Orvane-Corp"}, {"NetworkType", "1"},
                                                  {"AuthMode", "6"},        {"CipherMode", "6"},
                                                  {"Use8021X", "1"}};
    values.insert(values.end(), row.eap.begin(), row.eap.end());
    Put("Corp", values);
    asked.clear();
    client.applied.clear();
    answer = row.answer;
    Show();
    Click(IDC_PROF_ACTIVATE);
    if (row.asked) {
      EXPECT_EQ(asked, std::vector<PeapPromptRequest>{*row.asked});
    } else {
      EXPECT_TRUE(asked.empty());
    }
    EXPECT_EQ(client.applied.size(), row.applied ? 1u : 0u);
    EXPECT_EQ(Active(), row.applied ? "Corp" : "");
    auto active = [&](const char* key) {
      return store.ReadStoreValue(StoreFileKind::Station, kActiveSection, key);
    };
    EXPECT_EQ(active("TunnelID"), row.activeTunnelId);
    EXPECT_EQ(active("TunnelPassword"), row.activeTunnelPassword);
    // The stored profile keeps its own values.
    for (const auto& [key, value] : row.eap) {
      EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Profiles, "Corp", key), value) << key;
    }
  }
}

}  // namespace
}  // namespace ov
