// The security page's rules: stored codes, menu enabling, what a choice corrects, the 802.1X
// check box, the surveyed-network preset and the key checks of Validate.
#include <gtest/gtest.h>

#include "profilepages/page_auth_encry_rules.h"

namespace ov {
namespace {

using A = AuthChoice;
using C = CipherChoice;

TEST(AuthEncryCodes, StoredCodesLoadBackAsTheSameChoice) {
  for (int i = 0; i < kAuthChoiceCount; ++i) {
    const auto choice = static_cast<A>(i);
    if (choice == A::Leap) continue;  // stored as Open with "LeapEnabled"
    EXPECT_EQ(AuthChoiceFromStored(StoredAuthMode(choice)), choice) << i;
  }
  for (int i = 0; i < kCipherChoiceCount; ++i) {
    const auto choice = static_cast<C>(i);
    EXPECT_EQ(CipherChoiceFromStored(StoredCipherMode(choice)), choice) << i;
  }
  EXPECT_EQ(StoredAuthMode(A::Wpa2), 6);
  EXPECT_EQ(StoredAuthMode(A::WpaNone), 5);
  EXPECT_EQ(StoredAuthMode(A::Leap), 0);
  EXPECT_EQ(StoredCipherMode(C::None), 1);
  EXPECT_EQ(StoredCipherMode(C::AesMfp), 10);
  EXPECT_FALSE(AuthChoiceFromStored(2).has_value());  // auto switch is no choice
  EXPECT_FALSE(AuthChoiceFromStored(-1).has_value());
  EXPECT_FALSE(CipherChoiceFromStored(2).has_value());
}

AuthEncryState StateWith(A auth, C cipher, bool infrastructure) {
  AuthEncryState s = ResetAuthEncry(true);
  SetInfrastructure(s, infrastructure);
  s.auth = auth;
  s.cipher = cipher;
  return s;
}

struct ChoiceRow {
  const char* name;
  A from;
  C cipher;
  bool infrastructure;
  A choose;
  uint32_t eapMethod;
  A auth;
  C expectCipher;
  bool pskEnabled;
  bool use8021X;
  bool tab8021X;
  bool tabWapi;
  uint32_t expectEap;
};

class ApplyAuthChoiceTest : public ::testing::TestWithParam<ChoiceRow> {};

TEST_P(ApplyAuthChoiceTest, CorrectsTheRestOfThePage) {
  const ChoiceRow& row = GetParam();
  AuthEncryState s = StateWith(row.from, row.cipher, row.infrastructure);
  uint32_t eap = row.eapMethod;
  ApplyAuthChoice(s, row.choose, eap);
  EXPECT_EQ(s.auth, row.auth);
  EXPECT_EQ(s.cipher, row.expectCipher);
  EXPECT_EQ(s.pskEnabled, row.pskEnabled);
  EXPECT_EQ(s.use8021X, row.use8021X);
  EXPECT_EQ(s.tab8021XEnabled, row.tab8021X);
  EXPECT_EQ(s.tabWapiEnabled, row.tabWapi);
  EXPECT_EQ(eap, row.expectEap);
  EXPECT_FALSE(s.use8021XShown && !row.infrastructure);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ApplyAuthChoiceTest,
    ::testing::Values(
        ChoiceRow{"OpenDropsTkip", A::WpaPsk, C::Tkip, true, A::Open, 0, A::Open, C::None, false, false, false, false, 0},
        ChoiceRow{"SharedNoneBecomesWep", A::Open, C::None, true, A::Shared, 0, A::Shared, C::Wep, false, false, false, false, 0},
        ChoiceRow{"Wpa2OverWepBecomesTkip", A::Open, C::Wep, true, A::Wpa2, 0, A::Wpa2, C::Tkip, false, true, true, false, 0},
        ChoiceRow{"WpaTurnsMd5IntoPeap", A::Open, C::Wep, true, A::Wpa, kEapMethodMd5, A::Wpa, C::Tkip, false, true, true, false, kEapMethodPeap},
        ChoiceRow{"CckmOverTkipMfpBecomesWep", A::Wpa2, C::TkipMfp, true, A::Cckm, 0, A::Cckm, C::Wep, false, true, true, false, 0},
        ChoiceRow{"CcxForcesNone", A::Wpa2, C::Aes, true, A::Ccx, 0, A::Ccx, C::None, false, true, true, false, 0},
        ChoiceRow{"WpaPskOverNoneTakesTkip", A::Open, C::None, true, A::WpaPsk, 0, A::WpaPsk, C::Tkip, true, false, false, false, 0},
        ChoiceRow{"Wpa2PskOverAesMfpBecomesTkip", A::Wpa2, C::AesMfp, true, A::Wpa2Psk, 0, A::Wpa2Psk, C::Tkip, true, false, false, false, 0},
        ChoiceRow{"WapiCaTakesSms4AndTheWapiTab", A::Open, C::None, true, A::WapiCa, 0, A::WapiCa, C::Sms4, false, false, false, true, 0},
        ChoiceRow{"WapiPskTakesSms4", A::Open, C::None, true, A::WapiPsk, 0, A::WapiPsk, C::Sms4, true, false, false, false, 0},
        ChoiceRow{"AdhocWpaPskBecomesOpen", A::Open, C::None, false, A::WpaPsk, 0, A::Open, C::None, false, false, false, false, 0},
        ChoiceRow{"AdhocWpa2PskStaysWithAes", A::Open, C::Tkip, false, A::Wpa2Psk, 0, A::Wpa2Psk, C::Aes, true, false, false, false, 0},
        ChoiceRow{"AdhocSharedBecomesOpen", A::Open, C::Wep, false, A::Shared, 0, A::Open, C::Wep, false, false, false, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AuthMenu, EnablingFollowsNetworkTypeAndSupport) {
  SecurityContext context;
  context.wpaReady = true;
  context.wapiSupported = false;
  context.adhocWpa2Psk = false;
  AuthEncryState infra = StateWith(A::Open, C::None, true);
  auto on = AuthMenuEnabled(infra, context);
  for (A a : {A::Open, A::Shared, A::Wpa, A::WpaPsk, A::Wpa2, A::Wpa2Psk, A::Cckm, A::Leap})
    EXPECT_TRUE(on[static_cast<int>(a)]) << static_cast<int>(a);
  EXPECT_FALSE(on[static_cast<int>(A::WapiPsk)]);
  EXPECT_FALSE(on[static_cast<int>(A::WapiCa)]);

  AuthEncryState adhoc = StateWith(A::Open, C::None, false);
  on = AuthMenuEnabled(adhoc, context);
  for (A a : {A::Shared, A::Wpa, A::WpaPsk, A::Wpa2, A::Wpa2Psk, A::Cckm, A::Leap})
    EXPECT_FALSE(on[static_cast<int>(a)]) << static_cast<int>(a);
  EXPECT_TRUE(on[static_cast<int>(A::WpaNone)]);
  context.adhocWpa2Psk = true;
  EXPECT_TRUE(AuthMenuEnabled(adhoc, context)[static_cast<int>(A::Wpa2Psk)]);

  context.wpaReady = false;
  context.wapiSupported = true;
  on = AuthMenuEnabled(infra, context);
  for (A a : {A::Wpa, A::WpaPsk, A::Wpa2, A::Wpa2Psk})
    EXPECT_FALSE(on[static_cast<int>(a)]) << static_cast<int>(a);
  EXPECT_TRUE(on[static_cast<int>(A::WapiPsk)]);
}

TEST(CipherMenu, EnablingFollowsTheChoice) {
  struct Row { A auth; bool infra; std::array<bool, kCipherChoiceCount> on; };
  //                                           None   WEP    TKIP   AES    SMS4   TKIPm  AESm
  const Row rows[] = {
      {A::Open, true, {true, true, false, false, false, false, false}},
      {A::Shared, true, {false, true, false, false, false, false, false}},
      {A::WpaPsk, true, {false, false, true, true, false, false, false}},
      {A::Wpa2, true, {false, false, true, true, false, true, true}},
      {A::Wpa2Psk, false, {false, false, false, true, false, false, false}},
      {A::WapiPsk, true, {false, false, false, false, true, false, false}},
      {A::Cckm, true, {false, true, true, true, false, false, false}},
      {A::Ccx, true, {true, false, false, false, false, false, false}},
  };
  for (const Row& row : rows) {
    AuthEncryState s = StateWith(row.auth, C::None, row.infra);
    EXPECT_EQ(CipherMenuEnabled(s), row.on) << static_cast<int>(row.auth);
  }
}

TEST(Use8021XBox, OfferedOnlyForOpenWepOnInfrastructure) {
  uint32_t eap = 0;
  AuthEncryState s = ResetAuthEncry(true);
  ApplyCipherChoice(s, C::Wep);
  EXPECT_TRUE(s.use8021XShown);
  EXPECT_TRUE(s.keysEnabled);
  Click8021X(s, true);
  EXPECT_TRUE(s.tab8021XEnabled);
  EXPECT_FALSE(s.keysEnabled) << "dynamic WEP needs no static keys";
  Click8021X(s, false);
  EXPECT_TRUE(s.keysEnabled);

  Click8021X(s, true);
  ApplyCipherChoice(s, C::None);  // Open with None: no box, no keys, no 802.1X tab
  EXPECT_FALSE(s.use8021XShown);
  EXPECT_FALSE(s.use8021X);
  EXPECT_FALSE(s.tab8021XEnabled);
  EXPECT_FALSE(s.keysEnabled);

  ApplyAuthChoice(s, A::Shared, eap);
  EXPECT_FALSE(s.use8021XShown);
  EXPECT_TRUE(s.keysEnabled);

  ApplyAuthChoice(s, A::Open, eap);
  ApplyCipherChoice(s, C::Wep);
  Click8021X(s, true);
  SetInfrastructure(s, false);  // ad hoc: cleared and hidden, key 1 only
  EXPECT_FALSE(s.use8021XShown);
  EXPECT_FALSE(s.use8021X);
  EXPECT_FALSE(s.tab8021XEnabled);
}

TEST(WepKeys, AdhocUsesKeyOneOnly) {
  AuthEncryState s = StateWith(A::Open, C::None, true);
  uint32_t eap = 0;
  ApplyCipherChoice(s, C::Wep);
  SelectKey(s, 2);
  EXPECT_EQ(s.keyIndex, 2);
  SetInfrastructure(s, false);
  ApplyAuthChoice(s, A::Open, eap);
  EXPECT_EQ(s.keyIndex, 0);
  SelectKey(s, 3);
  EXPECT_EQ(s.keyIndex, 0);
}

TEST(ReapplyLoaded, CorrectsLeftOverCombinationsAndKeepsTheMark) {
  uint32_t eap = 0;
  AuthEncryState wpa2Wep = StateWith(A::Wpa2, C::Wep, true);
  ReapplyLoadedChoices(wpa2Wep, eap);
  EXPECT_EQ(wpa2Wep.cipher, C::Tkip);

  AuthEncryState dynamicWep = StateWith(A::Open, C::Wep, true);
  dynamicWep.use8021X = true;
  dynamicWep.showPassword = true;
  ReapplyLoadedChoices(dynamicWep, eap);
  EXPECT_TRUE(dynamicWep.use8021X);
  EXPECT_TRUE(dynamicWep.tab8021XEnabled);
  EXPECT_FALSE(dynamicWep.keysEnabled);
  EXPECT_FALSE(dynamicWep.showPassword);

  AuthEncryState aesMfp = StateWith(A::Wpa2, C::AesMfp, true);
  ReapplyLoadedChoices(aesMfp, eap);
  EXPECT_EQ(aesMfp.cipher, C::AesMfp);
}

struct PresetRow {
  const char* name;
  SurveyedSecurity network;
  int32_t osVersion;
  bool requirePrivacy;
  A auth;
  C cipher;
};

class PresetFromSurveyTest : public ::testing::TestWithParam<PresetRow> {};

TEST_P(PresetFromSurveyTest, ChoosesTheNetworksSecurity) {
  const PresetRow& row = GetParam();
  SecurityContext context;
  context.osVersionCode = row.osVersion;
  uint32_t eap = 0;
  AuthEncryState s = PresetFromSurvey(row.network, context, true, row.requirePrivacy, eap);
  EXPECT_EQ(s.auth, row.auth);
  EXPECT_EQ(s.cipher, row.cipher);
  EXPECT_EQ(s.infrastructure, row.network.infrastructure);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PresetFromSurveyTest,
    ::testing::Values(
        PresetRow{"OpenNetwork", {true, false, 0, "None"}, 11, true, A::Open, C::None},
        PresetRow{"PrivacyWithoutClassIsWep", {true, true, 0, "WEP"}, 11, true, A::Open, C::Wep},
        PresetRow{"Wpa2PskAes", {true, true, 5, "AES"}, 11, true, A::Wpa2Psk, C::Aes},
        PresetRow{"WpaPskTkip", {true, true, 2, "TKIP"}, 11, true, A::WpaPsk, C::Tkip},
        PresetRow{"UnknownCipherTextMeansAes", {true, true, 2, "TKIP+AES"}, 11, true, A::WpaPsk, C::Aes},
        PresetRow{"OldSystemKnowsWpa2AsWpa", {true, true, 5, "AES"}, 6, true, A::WpaPsk, C::Aes},
        PresetRow{"Wpa2Enterprise", {true, true, 4, "AES"}, 11, true, A::Wpa2, C::Aes},
        PresetRow{"WapiPsk", {true, true, 6, "SMS4"}, 11, true, A::WapiPsk, C::Sms4},
        PresetRow{"ConnectPathSkipsThePrivacyTest", {true, false, 5, "AES"}, 11, false, A::Wpa2Psk, C::Aes},
        PresetRow{"AdhocWepStaysOpenWep", {false, true, 0, "WEP"}, 11, true, A::Open, C::Wep}),
    [](const auto& info) { return std::string(info.param.name); });

struct ValidateRow {
  const char* name;
  A auth;
  C cipher;
  bool use8021X;
  uint32_t eapMethod;
  int keyIndex;
  std::array<int, 4> keyHex;
  std::array<const char*, 4> keys;
  const char* psk;
  int wapiHex;
  bool ok;
  SecurityField field;
  const char* note;
  std::optional<LanguageKey> message;
  size_t keyLimit;
};

class ValidateTest : public ::testing::TestWithParam<ValidateRow> {};

TEST_P(ValidateTest, ChecksOnlyTheSecretInUse) {
  const ValidateRow& row = GetParam();
  AuthEncryState s = ResetAuthEncry(true);
  s.auth = row.auth;
  s.cipher = row.cipher;
  s.use8021X = row.use8021X;
  s.keyIndex = row.keyIndex;
  s.keyHex = row.keyHex;
  for (int k = 0; k < 4; ++k) s.keys[k] = row.keys[k];
  s.psk = row.psk;
  s.wapiKeyHex = row.wapiHex;
  const SecurityCheck check = ValidateAuthEncry(s, row.eapMethod);
  EXPECT_EQ(check.ok, row.ok);
  EXPECT_EQ(check.field, row.field);
  EXPECT_EQ(check.note, row.note);
  EXPECT_EQ(check.messageKey, row.message);
  EXPECT_EQ(check.keyLimit, row.keyLimit);
}

const std::string k64Hex(64, 'a');
const std::string k64WithG = std::string(63, 'a') + "g";
const std::string k63Any(63, '~');

INSTANTIATE_TEST_SUITE_P(
    Rows, ValidateTest,
    ::testing::Values(
        ValidateRow{"SharedKey2TwelveDigitsFails", A::Shared, C::Wep, false, 0, 1, {1, 1, 1, 1},
                    {"", "0123456789ab", "", ""}, "", 0, false, SecurityField::Key2,
                    "Invalid WEP Key 2 length. WEP Key should be 10 or 26 hex digits", std::nullopt, 26},
        ValidateRow{"SharedOtherKeysNotChecked", A::Shared, C::Wep, false, 1, 1, {1, 1, 1, 1},
                    {"zz", "0123456789", "1", ""}, "", 0, true, SecurityField::None, "", std::nullopt, 0},
        ValidateRow{"AsciiKeyFourCharsFails", A::Open, C::Wep, false, 0, 3, {1, 1, 1, 0},
                    {"", "", "", "abcd"}, "", 0, false, SecurityField::Key4,
                    "Invalid WEP Key 4 length. WEP Key should be 5 or 13 ascii characters", std::nullopt, 13},
        ValidateRow{"AsciiKeyThirteenPasses", A::Open, C::Wep, false, 0, 0, {0, 1, 1, 1},
                    {"abcdefghijklm", "", "", ""}, "", 0, true, SecurityField::None, "", std::nullopt, 0},
        ValidateRow{"HexKeyWithNonHexFails", A::Open, C::Wep, false, 0, 0, {1, 1, 1, 1},
                    {"0123456789abcdefghijklmnop", "", "", ""}, "", 0, false, SecurityField::Key1,
                    "Invalid WEP Key 1 length. WEP Key should be 10 or 26 hex digits", std::nullopt, 26},
        ValidateRow{"Dynamic8021XSkipsKeys", A::Open, C::Wep, true, kEapMethodPeap, 0, {1, 1, 1, 1},
                    {"", "", "", ""}, "", 0, true, SecurityField::None, "", std::nullopt, 0},
        ValidateRow{"Md5ChecksKeys", A::Open, C::Wep, true, kEapMethodMd5, 0, {1, 1, 1, 1},
                    {"", "", "", ""}, "", 0, false, SecurityField::Key1,
                    "Invalid WEP Key 1 length. WEP Key should be 10 or 26 hex digits", std::nullopt, 26},
        ValidateRow{"OpenNoneChecksNothing", A::Open, C::None, false, 0, 0, {1, 1, 1, 1},
                    {"", "", "", ""}, "", 0, true, SecurityField::None, "", std::nullopt, 0},
        ValidateRow{"Psk64WithGFails", A::WpaPsk, C::Tkip, false, 0, 0, {1, 1, 1, 1},
                    {"", "", "", ""}, k64WithG.c_str(), 0, false, SecurityField::PreSharedKey, "",
                    IDS_MSGPSKKEYINVALID, 0},
        ValidateRow{"Psk64HexPasses", A::Wpa2Psk, C::Aes, false, 0, 0, {1, 1, 1, 1},
                    {"", "", "", ""}, k64Hex.c_str(), 0, true, SecurityField::None, "", std::nullopt, 0},
        ValidateRow{"Psk63AnyPasses", A::WpaPsk, C::Tkip, false, 0, 0, {1, 1, 1, 1},
                    {"", "", "", ""}, k63Any.c_str(), 0, true, SecurityField::None, "", std::nullopt, 0},
        ValidateRow{"Psk7Fails", A::Wpa2Psk, C::Aes, false, 0, 0, {1, 1, 1, 1},
                    {"", "", "", ""}, "1234567", 0, false, SecurityField::PreSharedKey, "",
                    IDS_MSGWPA2PSKKEYINVALID, 0},
        ValidateRow{"WpaNoneShortFails", A::WpaNone, C::Aes, false, 0, 0, {1, 1, 1, 1},
                    {"", "", "", ""}, "short", 0, false, SecurityField::PreSharedKey, "",
                    IDS_MSGWPANONEKEYINVALID, 0},
        ValidateRow{"WapiEmptyFails", A::WapiPsk, C::Sms4, false, 0, 0, {1, 1, 1, 1},
                    {"", "", "", ""}, "", 0, false, SecurityField::PreSharedKey, "",
                    IDS_MSGWAPIPSKKEYINVALID, 0},
        ValidateRow{"WapiHexOddFails", A::WapiPsk, C::Sms4, false, 0, 0, {1, 1, 1, 1},
                    {"", "", "", ""}, "abc", 1, false, SecurityField::PreSharedKey, "",
                    IDS_MSGHEXWAPIPSKKEYINVALID, 0},
        ValidateRow{"WapiHexNonHexFails", A::WapiPsk, C::Sms4, false, 0, 0, {1, 1, 1, 1},
                    {"", "", "", ""}, "abcz", 1, false, SecurityField::PreSharedKey, "",
                    IDS_MSGHEXWAPIPSKKEYINVALID, 0},
        ValidateRow{"WapiAsciiAnyPasses", A::WapiPsk, C::Sms4, false, 0, 0, {1, 1, 1, 1},
                    {"", "", "", ""}, "x", 0, true, SecurityField::None, "", std::nullopt, 0},
        ValidateRow{"EnterprisePasses", A::Wpa2, C::Aes, true, 0, 0, {1, 1, 1, 1},
                    {"", "", "", ""}, "", 0, true, SecurityField::None, "", std::nullopt, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Validate, KeysEnabledBringTheSecurityTabForward) {
  AuthEncryState wep = StateWith(A::Open, C::Wep, true);
  wep.keys[0] = "0123456789";
  EXPECT_TRUE(ValidateAuthEncry(wep, 0).bringSecurityTabForward);
  EXPECT_TRUE(wep.keysEnabled);

  AuthEncryState psk = StateWith(A::WpaPsk, C::Tkip, true);
  psk.psk = "long enough";
  EXPECT_TRUE(ValidateAuthEncry(psk, 0).bringSecurityTabForward);
  EXPECT_FALSE(psk.keysEnabled);

  AuthEncryState wpa = StateWith(A::Wpa, C::Tkip, true);
  wpa.use8021X = true;
  EXPECT_FALSE(ValidateAuthEncry(wpa, 0).bringSecurityTabForward);

  // The connection security editor does not look at the encryption.
  AuthEncryState open = StateWith(A::Open, C::None, true);
  open.hostedByEditor = false;
  ValidateAuthEncry(open, 0);
  EXPECT_TRUE(open.keysEnabled);
}

}  // namespace
}  // namespace ov
