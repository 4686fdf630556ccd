// The credential prompt's rules: the three forms, OK's checks, and which stored PEAP profiles
// ask before they are applied.
#include <gtest/gtest.h>

#include "nativewifi/station_profile.h"
#include "profilepages/peap_prompt_rules.h"

namespace ov {
namespace {

using F = PeapPromptForm;
using P = PeapPromptProblem;

struct FormCase {
  const char* name;
  PeapPromptRequest request;
  F form;
  const char* title;
  const char* identityLabel;
  const char* passwordLabel;
  const char* identity;
  bool identityEnabled;
  bool passwordEnabled;
  PeapPromptFocus focus;
};

class PeapPromptFormTest : public ::testing::TestWithParam<FormCase> {};

TEST_P(PeapPromptFormTest, ShowsTheFormTheRequestAsksFor) {
  const FormCase& c = GetParam();
  const PeapPromptLayout layout = ArrangePeapPrompt(c.request);
  EXPECT_EQ(layout.form, c.form);
  EXPECT_EQ(layout.title, c.title);
  EXPECT_EQ(layout.description, std::string("Description : ") + c.title);
  EXPECT_EQ(layout.identityLabel, c.identityLabel);
  EXPECT_EQ(layout.passwordLabel, c.passwordLabel);
  EXPECT_EQ(layout.identity, c.identity);
  EXPECT_EQ(layout.identityEnabled, c.identityEnabled);
  EXPECT_EQ(layout.passwordEnabled, c.passwordEnabled);
  EXPECT_EQ(layout.focus, c.focus);
}

const char kNew[] = "Enter your new username and password";
const char kOtp[] = "Peap Setting - One Time Password";
const char kPwd[] = "Enter your new password";
using Fo = PeapPromptFocus;

INSTANTIATE_TEST_SUITE_P(
    Forms, PeapPromptFormTest,
    ::testing::Values(
        FormCase{"NewUserNameStartsEmpty", {"alice", true, false, false}, F::NewUserNameAndPassword,
                 kNew, "Identity", "Password", "", true, true, Fo::Identity},
        FormCase{"NewUserNameWithoutPassword", {"alice", true, false, true},
                 F::NewUserNameAndPassword, kNew, "Identity", "Password", "", true, false, Fo::Identity},
        FormCase{"OneTimePasswordKeepsTheTunnelIdentity", {"alice", false, false, false},
                 F::OneTimePassword, kOtp, "Tunnel Identity", "Tunnel Password", "alice", true, true,
                 Fo::Identity},
        FormCase{"PasswordOnlyFocusesThePassword", {"alice", false, true, false}, F::PasswordOnly,
                 kPwd, "Identity", "Password", "alice", false, true, Fo::Password},
        FormCase{"PasswordOnlyWinsOverNewUserName", {"alice", true, true, false}, F::PasswordOnly,
                 kPwd, "Identity", "Password", "alice", false, true, Fo::Password},
        FormCase{"PasswordOnlyWithNothingToType", {"alice", false, true, true}, F::PasswordOnly, kPwd,
                 "Identity", "Password", "alice", false, false, Fo::Identity}),
    [](const auto& info) { return std::string(info.param.name); });

struct AnswerCase {
  const char* name;
  bool passwordNotNeeded;
  const char* identity;
  const char* password;
  P problem;
};

class PeapPromptAnswerTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(PeapPromptAnswerTest, RequiresIdentityThenPassword) {
  const AnswerCase& c = GetParam();
  PeapPromptRequest request;
  request.passwordNotNeeded = c.passwordNotNeeded;
  const P problem = CheckPeapPromptAnswer(request, c.identity, c.password);
  EXPECT_EQ(problem, c.problem);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, PeapPromptAnswerTest,
    ::testing::Values(AnswerCase{"Both", false, "alice", "secret", P::None},
                      AnswerCase{"NoIdentityComesFirst", false, "", "", P::NoIdentity},
                      AnswerCase{"NoPassword", false, "alice", "", P::NoPassword},
                      AnswerCase{"PasswordNotNeeded", true, "alice", "", P::None},
                      AnswerCase{"IdentityStillNeeded", true, "", "", P::NoIdentity}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PeapPromptAnswer, RefusalTextsAreTheFixedOnes) {
  EXPECT_STREQ(PeapPromptProblemText(P::NoIdentity), "Must input Identity");
  EXPECT_STREQ(PeapPromptProblemText(P::NoPassword), "Must input Password");
  EXPECT_STREQ(PeapPromptProblemText(P::None), "");
}

struct ProfileCase {
  const char* name;
  PeapPromptProfile profile;
  std::optional<PeapPromptRequest> request;
};

class PeapPromptProfileTest : public ::testing::TestWithParam<ProfileCase> {};

TEST_P(PeapPromptProfileTest, AsksOnlyWhatTheStoredProfileLacks) {
  const ProfileCase& c = GetParam();
  EXPECT_EQ(PeapPromptForProfile(c.profile), c.request);
}

// use8021x, method, inner, password mode, tunnel id, tunnel password
INSTANTIATE_TEST_SUITE_P(
    Profiles, PeapPromptProfileTest,
    ::testing::Values(
        ProfileCase{"GtcSoftTokenAsksForTheOneTimePassword",
                    {1, kEapPeap, kInnerGtc, 0, "token-user", ""},
                    PeapPromptRequest{"token-user", false, false, false}},
        ProfileCase{"GtcSoftTokenAsksEvenWithAStoredPassword",
                    {1, kEapPeap, kInnerGtc, 0, "token-user", "old"},
                    PeapPromptRequest{"token-user", false, false, false}},
        ProfileCase{"GtcStaticPasswordStored", {1, kEapPeap, kInnerGtc, 1, "u", "p"}, std::nullopt},
        ProfileCase{"GtcLogonCredentials", {1, kEapPeap, kInnerGtc, 2, "u", ""}, std::nullopt},
        ProfileCase{"PromptUserAsksForNameAndPassword", {1, kEapPeap, kInnerGtc, 3, "u", "p"},
                    PeapPromptRequest{"", true, false, false}},
        ProfileCase{"PromptUserWithTlsNeedsNoPassword", {1, kEapPeap, kInnerTls, 3, "u", ""},
                    PeapPromptRequest{"", true, false, true}},
        ProfileCase{"MsChapWithoutStoredPassword", {1, kEapPeap, kInnerMsChapV2, 1, "bob", ""},
                    PeapPromptRequest{"bob", false, true, false}},
        ProfileCase{"MsChapComplete", {1, kEapPeap, kInnerMsChapV2, 1, "bob", "pw"}, std::nullopt},
        ProfileCase{"MsChapWithoutIdentityHasNothingToAskFor",
                    {1, kEapPeap, kInnerMsChapV2, 1, "", ""}, std::nullopt},
        ProfileCase{"TlsInnerNeverAsksForAPassword", {1, kEapPeap, kInnerTls, 1, "bob", ""},
                    std::nullopt},
        ProfileCase{"NotAn8021XProfile", {0, kEapPeap, kInnerGtc, 0, "u", ""}, std::nullopt},
        ProfileCase{"OtherMethodsDoNotAsk", {1, kEapTtls, kInnerGtc, 0, "u", ""}, std::nullopt},
        ProfileCase{"LeapDoesNotAsk", {1, kEapLeap, kInnerGtc, 3, "u", ""}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PeapPromptAnswer, GoesToTheActiveTunnelCredentials) {
  using Values = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(PeapPromptActiveValues({"", true, false, false}, {"carol", "pw"}),
            (Values{{"TunnelID", "carol"}, {"TunnelPassword", "pw"}}));
  EXPECT_EQ(PeapPromptActiveValues({"", true, false, true}, {"carol", ""}),
            (Values{{"TunnelID", "carol"}}))
      << "a password that was not asked for leaves the stored one";
}

}  // namespace
}  // namespace ov
