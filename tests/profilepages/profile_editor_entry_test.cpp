// The openers of the editors: they find the panel the window registered, prepare it through
// its entry point and show it; without such a panel, or when Edit cannot load, nothing moves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "profilepages/profile_editor_entry.h"
#include "shell/ui/control_ids.h"
#include "tests/shellui/page_window_fixture.h"

namespace ov {
namespace {

class FakeEditor final : public PageWidget, public ProfileEditorPanel, public SecurityEditorPanel {
 public:
  using PageWidget::PageWidget;
  void LoadValues() override {}
  void OpenForAdd() override { calls.push_back("add"); }
  void OpenFromSurvey(std::span<const uint8_t> entry) override {
    calls.push_back("survey " + std::to_string(entry.size()));
  }
  bool OpenForEdit(const std::string& name) override {
    calls.push_back("edit " + name);
    return name != "missing";
  }
  void RadioSettingsApplied() override { calls.push_back("radio"); }
  bool AddWithoutShowing(const std::string& ssid, const AuthEncryState& security) override {
    calls.push_back("import " + ssid + " " + security.psk);
    return ssid != "refused";
  }
  void OpenForConnect(std::span<const uint8_t> entry) override {
    calls.push_back("connect " + std::to_string(entry.size()));
  }
  std::vector<std::string> calls;
};

class ProfileEditorEntryTest : public test::PageWindowFixture<> {
 protected:
  void RegisterEditors() {
    for (int panel : {LOWER_PANEL_PROFILE_EDITOR, LOWER_PANEL_SECURITY_EDITOR}) {
      registry.RegisterLowerPanel(panel, [](const PageContext& context, QWidget* parent) {
        return new FakeEditor(context, parent);
      });
    }
  }
  FakeEditor* Editor(int panel) { return dynamic_cast<FakeEditor*>(window->LowerPanel(panel)); }
  bool Shown(int panel) { return window->LowerPanel(panel)->isVisible(); }
};

TEST_F(ProfileEditorEntryTest, EachOpenerPreparesItsPanelAndShowsIt) {
  RegisterEditors();
  window = MakeWindow();
  const std::vector<uint8_t> entry(120);

  ASSERT_TRUE(OpenProfileEditorForAdd(*window));
  EXPECT_TRUE(Shown(LOWER_PANEL_PROFILE_EDITOR));
  ASSERT_TRUE(OpenProfileEditorFromSurvey(*window, entry));
  ASSERT_TRUE(OpenProfileEditorForEdit(*window, "home"));
  EXPECT_EQ(Editor(LOWER_PANEL_PROFILE_EDITOR)->calls,
            (std::vector<std::string>{"add", "survey 120", "edit home"}));

  ASSERT_TRUE(OpenSecurityEditorForConnect(*window, entry));
  EXPECT_TRUE(Shown(LOWER_PANEL_SECURITY_EDITOR));
  EXPECT_FALSE(Shown(LOWER_PANEL_PROFILE_EDITOR));
  EXPECT_EQ(Editor(LOWER_PANEL_SECURITY_EDITOR)->calls, (std::vector<std::string>{"connect 120"}));
}

TEST_F(ProfileEditorEntryTest, EditThatCannotLoadLeavesTheLowerFrameAlone) {
  RegisterEditors();
  window = MakeWindow();
  window->ShowLowerPanel(LOWER_PANEL_SECURITY_EDITOR);

  EXPECT_FALSE(OpenProfileEditorForEdit(*window, "missing"));
  EXPECT_TRUE(Shown(LOWER_PANEL_SECURITY_EDITOR));
  EXPECT_FALSE(Shown(LOWER_PANEL_PROFILE_EDITOR));
}

TEST_F(ProfileEditorEntryTest, RadioSettingsReachTheEditorAndNothingWithoutOne) {
  window = MakeWindow();
  NotifyProfileEditorOfRadioSettings(*window);  // no editor: nothing to tell

  RegisterEditors();
  window = MakeWindow();
  NotifyProfileEditorOfRadioSettings(*window);
  EXPECT_EQ(Editor(LOWER_PANEL_PROFILE_EDITOR)->calls, std::vector<std::string>{"radio"});
}

TEST_F(ProfileEditorEntryTest, AddWithoutShowingShowsTheEditorOnlyOnARefusal) {
  RegisterEditors();
  window = MakeWindow();
  AuthEncryState security;
  security.psk = "passphrase";

  EXPECT_TRUE(AddProfileWithoutShowing(*window, "Home", security));
  EXPECT_FALSE(Shown(LOWER_PANEL_PROFILE_EDITOR)) << "a saved profile never shows the editor";
  EXPECT_FALSE(AddProfileWithoutShowing(*window, "refused", security));
  EXPECT_TRUE(Shown(LOWER_PANEL_PROFILE_EDITOR)) << "a refused one is left for the user to mend";
  EXPECT_EQ(Editor(LOWER_PANEL_PROFILE_EDITOR)->calls,
            (std::vector<std::string>{"import Home passphrase", "import refused passphrase"}));
}

TEST_F(ProfileEditorEntryTest, WithoutEditorPanelsNothingOpens) {
  window = MakeWindow();
  const std::vector<uint8_t> entry(120);
  EXPECT_FALSE(OpenProfileEditorForAdd(*window));
  EXPECT_FALSE(OpenProfileEditorFromSurvey(*window, entry));
  EXPECT_FALSE(OpenProfileEditorForEdit(*window, "home"));
  EXPECT_FALSE(OpenSecurityEditorForConnect(*window, entry));
  EXPECT_FALSE(AddProfileWithoutShowing(*window, "Home", AuthEncryState{}));
}

}  // namespace
}  // namespace ov
