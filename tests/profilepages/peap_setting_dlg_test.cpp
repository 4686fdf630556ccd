// The credential prompt (lower panel 8) in the real main window, offscreen: each form as the
// user sees it, OK's refusals, and every way the wait ends.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "profilepages/peap_setting_dlg.h"
#include "profilepages/profile_editor_entry.h"
#include "shell/ui/control_ids.h"
#include "tests/shellui/page_window_fixture.h"
#include "tests/shellui/qt_app_environment.h"
#include "widgets/modal_guard.h"

namespace ov {
namespace {

class PeapSettingTest : public test::PageWindowFixture<> {
 protected:
  PeapSettingTest() {
    options.services.showMessage = [this](const QString& text, QWidget*) {
      messages.push_back(text.toStdString());
      return 1;
    };
    registry.RegisterLowerPanel(LOWER_PANEL_PEAP_SETTING, MakePeapSettingPanel);
  }
  void SetUp() override { window = MakeWindow(); }

  CPeapSettingDlg* Panel() {
    return dynamic_cast<CPeapSettingDlg*>(window->LowerPanel(LOWER_PANEL_PEAP_SETTING));
  }
  // Runs the prompt; `user` acts once the modal loop is waiting.
  std::optional<PeapPromptAnswer> Run(const PeapPromptRequest& request, std::function<void()> user) {
    QTimer::singleShot(0, window.get(), [this, user] {
      EXPECT_TRUE(Panel()->Running());
      user();
    });
    return RunPeapSettingPrompt(*window, request);
  }

  std::vector<std::string> messages;
};

struct FormCase {
  const char* name;
  PeapPromptRequest request;
  const char* title;
  const char* identityLabel;
  const char* shownIdentity;
  bool identityEnabled;
  bool passwordEnabled;
  int focused;  // control id
  const char* typedIdentity;  // null: leave as shown
  PeapPromptAnswer answer;
};

class PeapSettingFormTest : public PeapSettingTest, public ::testing::WithParamInterface<FormCase> {};

TEST_P(PeapSettingFormTest, AsksAndHandsBackTheAnswer) {
  const FormCase& c = GetParam();
  ASSERT_FALSE(state.Expanded);
  const auto answer = Run(c.request, [&] {
    CPeapSettingDlg* p = Panel();
    EXPECT_TRUE(p->isVisible());
    EXPECT_EQ(state.LowerPanel, LOWER_PANEL_PEAP_SETTING);
    EXPECT_EQ(p->TitleLabel()->text().toStdString(), c.title);
    EXPECT_EQ(p->DescriptionLabel()->text().toStdString(), std::string("Description : ") + c.title);
    EXPECT_EQ(p->IdentityLabel()->text().toStdString(), c.identityLabel);
    EXPECT_EQ(p->IdentityEdit()->text().toStdString(), c.shownIdentity);
    EXPECT_EQ(p->IdentityEdit()->isEnabled(), c.identityEnabled);
    EXPECT_EQ(p->PasswordEdit()->isEnabled(), c.passwordEnabled);
    EXPECT_EQ(p->PasswordEdit()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(p->PasswordEdit()->text(), QString()) << "no password is ever pre-filled";
    // The window is not active offscreen: the focus is its focus child.
    EXPECT_EQ(window->focusWidget() ? window->focusWidget()->objectName() : QString(),
              ControlName(c.focused));
    if (c.typedIdentity) p->IdentityEdit()->setText(c.typedIdentity);
    if (c.passwordEnabled) p->PasswordEdit()->setText("s3cret");
    p->OkButton()->click();
  });
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(*answer, c.answer);
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(state.Expanded) << "the prompt opens the lower frame";
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_LINK_STATUS);
  EXPECT_FALSE(Panel()->isVisible());
  EXPECT_TRUE(Panel()->PasswordEdit()->text().isEmpty()) << "the secret does not stay in the panel";
}

INSTANTIATE_TEST_SUITE_P(
    Forms, PeapSettingFormTest,
    ::testing::Values(
        FormCase{"NewUserName", {"old", true, false, false}, "Enter your new username and password",
                 "Identity", "", true, true, IDC_PEAP_IDENTITY, "carol", {"carol", "s3cret"}},
        FormCase{"NewUserNameWithCertificate", {"", true, false, true},
                 "Enter your new username and password", "Identity", "", true, false,
                 IDC_PEAP_IDENTITY, "carol", {"carol", ""}},
        FormCase{"OneTimePassword", {"token-user", false, false, false},
                 "Peap Setting - One Time Password", "Tunnel Identity", "token-user", true, true,
                 IDC_PEAP_IDENTITY, nullptr, {"token-user", "s3cret"}},
        FormCase{"PasswordOnly", {"bob", false, true, false}, "Enter your new password", "Identity",
                 "bob", false, true, IDC_PEAP_PASSWORD, nullptr, {"bob", "s3cret"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PeapSettingTest, OkRefusesMissingIdentityThenPasswordAndKeepsWaiting) {
  const auto answer = Run({"", false, false, false}, [&] {
    CPeapSettingDlg* p = Panel();
    EXPECT_FALSE(p->OnOk());
    p->IdentityEdit()->setText("dave");
    EXPECT_FALSE(p->OnOk());
    EXPECT_TRUE(p->Running()) << "a refusal keeps the prompt open";
    EXPECT_EQ(window->focusWidget(), p->PasswordEdit());
    p->PasswordEdit()->setText("pw");
    EXPECT_TRUE(p->OnOk());
  });
  EXPECT_EQ(messages, (std::vector<std::string>{"Must input Identity", "Must input Password"}));
  EXPECT_EQ(answer, (PeapPromptAnswer{"dave", "pw"}));
}

struct EndCase {
  const char* name;
  std::function<void(COvUI2007Dlg&, CPeapSettingDlg&)> end;
  int panelAfter;
};

class PeapSettingEndTest : public PeapSettingTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(PeapSettingEndTest, EndsWithoutAnAnswer) {
  const EndCase& c = GetParam();
  const auto answer = Run({"u", false, false, false}, [&] {
    Panel()->PasswordEdit()->setText("typed");
    c.end(*window, *Panel());
  });
  EXPECT_FALSE(answer.has_value());
  EXPECT_FALSE(Panel()->Running());
  EXPECT_EQ(state.LowerPanel, c.panelAfter);
  EXPECT_TRUE(Panel()->PasswordEdit()->text().isEmpty());
  // The next prompt starts afresh.
  window->show();
  const auto again = Run({"u", false, false, false}, [&] {
    Panel()->PasswordEdit()->setText("second");
    Panel()->OkButton()->click();
  });
  EXPECT_EQ(again, (PeapPromptAnswer{"u", "second"}));
}

INSTANTIATE_TEST_SUITE_P(
    Ends, PeapSettingEndTest,
    ::testing::Values(
        EndCase{"Cancel", [](COvUI2007Dlg&, CPeapSettingDlg& p) { p.CancelButton()->click(); },
                LOWER_PANEL_LINK_STATUS},
        EndCase{"AnotherPanelTakesTheFrame",
                [](COvUI2007Dlg& w, CPeapSettingDlg&) { w.ShowLowerPanel(LOWER_PANEL_AP_DETAIL); },
                LOWER_PANEL_AP_DETAIL},
        EndCase{"WindowHidden", [](COvUI2007Dlg& w, CPeapSettingDlg&) { w.hide(); },
                LOWER_PANEL_PEAP_SETTING}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PeapSettingTest, TeardownDuringThePromptWaitsForItAndDeletesTheWindowAfter) {
  QPointer<COvUI2007Dlg> guarded = window.release();
  std::optional<PeapPromptAnswer> answer{PeapPromptAnswer{"x", "y"}};
  QTimer::singleShot(0, guarded.data(), [&] {
    EXPECT_EQ(ModalLoopDepth(guarded.data()), 1);
    DestroyWhenNoModalLoop(guarded.data());
    EXPECT_FALSE(guarded.isNull()) << "not deleted under the prompt's loop";
  });
  answer = RunPeapSettingPrompt(*guarded, {"u", false, false, false});
  EXPECT_FALSE(answer.has_value());
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return guarded.isNull(); }));
}

TEST_F(PeapSettingTest, WithoutThePanelNothingIsAsked) {
  PageRegistry empty;
  COvUI2007Dlg bare(state, host, empty, options);
  bare.show();
  EXPECT_FALSE(RunPeapSettingPrompt(bare, {"u", false, false, false}).has_value());
}

}  // namespace
}  // namespace ov
