// The registrar credential, the config-mode change and the credential editor's checks.
#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <array>

#include "driver/ndis_types.h"
#include "tests/support/wps_credential_maker.h"
#include "wps/wps_registrar.h"

namespace ov {
namespace {

const MacAddress kMac{0x02, 0x11, 0x22, 0xA3, 0x0B, 0xFC};

std::array<uint8_t, 32> Bytes(uint8_t first) {
  std::array<uint8_t, 32> b{};
  for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<uint8_t>(first + i * 7);
  return b;
}

TEST(WpsRegistrar, CredentialFromMacAndRandomBytes) {
  const WpsCredential c = MakeRegistrarCredential(kMac, Bytes(0xF0));
  EXPECT_EQ(WpsCredentialSsid(c), "ExRegNWA30BFC");
  EXPECT_EQ(c.SsidLength, 13u);
  EXPECT_EQ(c.AuthType, WPS_AUTH_WPA2PSK);
  EXPECT_EQ(c.EncryType, WPS_ENCR_AES);
  EXPECT_EQ(c.KeyIndex, 1u);
  EXPECT_EQ(c.KeyLength, 64u);
  EXPECT_EQ(WpsCredentialKey(c).substr(0, 6), "F0F7FE") << "upper-case hex of each byte";
  EXPECT_EQ(WpsCredentialKey(c).find_first_not_of("0123456789ABCDEF"), std::string_view::npos);
}

TEST(WpsRegistrar, TwiceKeepsTheCredentialBackAndForthMakesANewOne) {
  WpsStoreState state;
  ASSERT_TRUE(ChangeWpsConfigMode(state, kWpsConfigRegistrar, kMac, Bytes(1)));
  ASSERT_EQ(state.Table.Count, 1u);
  const WpsCredential first = state.Table.Credentials[0];

  EXPECT_FALSE(ChangeWpsConfigMode(state, kWpsConfigRegistrar, kMac, Bytes(2)));
  EXPECT_EQ(state.Table.Credentials[0], first) << "registrar again keeps the credential";

  ASSERT_TRUE(ChangeWpsConfigMode(state, kWpsConfigEnrollee, kMac, Bytes(3)));
  EXPECT_EQ(state.Table.Count, 0u);
  EXPECT_EQ(state.Table.Credentials[0], WpsCredential{}) << "enrollee forgets the credential";
  ASSERT_TRUE(ChangeWpsConfigMode(state, kWpsConfigRegistrar, kMac, Bytes(4)));
  EXPECT_EQ(state.Table.Count, 1u);
  EXPECT_NE(WpsCredentialKey(state.Table.Credentials[0]), WpsCredentialKey(first));
}

TEST(WpsRegistrar, EnrolleeChangeDropsReceivedCredentials) {
  WpsStoreState state;
  state.Settings.ConfigMode = kWpsConfigRegistrar;
  state.Table.Count = 3;
  ASSERT_TRUE(ChangeWpsConfigMode(state, kWpsConfigEnrollee, kMac, Bytes(0)));
  EXPECT_EQ(state.Table, WpsCredentialTable{});
  EXPECT_EQ(state.Settings.ConfigMode, kWpsConfigEnrollee);
}

struct KeyRow {
  const char* name;
  int limit;
  const char* key;
  const char* message;  // empty: accepted
};

void PrintTo(const KeyRow& row, std::ostream* os) { *os << row.name; }

class RegistrarKeyCheck : public ::testing::TestWithParam<KeyRow> {};

TEST_P(RegistrarKeyCheck, Message) {
  const auto message = CheckRegistrarKey(GetParam().limit, GetParam().key);
  EXPECT_EQ(message.value_or(""), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RegistrarKeyCheck,
    ::testing::Values(
        KeyRow{"Wep5Ok", 5, "abcde", ""},
        KeyRow{"Wep5Short", 5, "abcd", "Invalid WEP Key length. WEP Key should be 5 ascii characters"},
        KeyRow{"Wep10Long", 10, "0123456789a", "Invalid WEP Key length. WEP Key should be 10 hex digits"},
        KeyRow{"Wep13Short", 13, "abc", "Invalid WEP Key length. WEP Key should be 13 ascii characters"},
        KeyRow{"Wep26Ok", 26, "0123456789abcdef0123456789", ""},
        KeyRow{"Wep26Short", 26, "01", "Invalid WEP Key length. WEP Key should be 26 hex digits"},
        KeyRow{"Psk7Refused", 64, "1234567",
               "Invalid WPA Pre-Shared key. WPA-PSK use field should be 64 hex digits."},
        KeyRow{"Psk8Accepted", 64, "12345678", ""},
        KeyRow{"Psk63AnyCharacters", 64, "pass phrase of sixty-three characters, spaces and all!!!!!!!!!!", ""},
        KeyRow{"Psk64Hex", 64, "00112233445566778899aabbccddeeff00112233445566778899AABBCCDDEEFF", ""},
        KeyRow{"Psk64NotHexRefused", 64, "00112233445566778899aabbccddeeff00112233445566778899AABBCCDDEEFG",
               "Invalid WPA Pre-Shared key. WPA-PSK use field should be 64 hex digits."},
        KeyRow{"Psk65Refused", 64, "00112233445566778899aabbccddeeff00112233445566778899AABBCCDDEEFF0",
               "Invalid WPA Pre-Shared key. WPA-PSK use field should be 64 hex digits."},
        KeyRow{"Wep10NotHex", 10, "012345678g", "Invalid WEP Key length. WEP Key should be 10 hex digits"},
        KeyRow{"Wep26NotHex", 26, "0123456789abcdef012345678x", "Invalid WEP Key length. WEP Key should be 26 hex digits"},
        KeyRow{"Wep13AnyPrintable", 13, "0123456789xyz", ""},
        KeyRow{"ReadOnlyNotChecked", 0, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WpsRegistrarEditor, LimitsAndCredentialPerChoice) {
  RegistrarEditorInput open{.ssid = "Home", .auth = RegistrarAuth::Open, .wep = false};
  EXPECT_EQ(RegistrarKeyLimit(open), 0);
  EXPECT_TRUE(RegistrarNeedsInsecureConfirmation(open));
  WpsCredential previous;
  previous.MacAddr = kMac;
  WpsCredential c = BuildRegistrarCredential(open, previous);
  EXPECT_EQ(c.AuthType, WPS_AUTH_OPEN);
  EXPECT_EQ(c.EncryType, WPS_ENCR_NONE);
  EXPECT_EQ(c.KeyLength, 0u);
  EXPECT_EQ(c.MacAddr, kMac);
  EXPECT_EQ(WpsCredentialSsid(c), "Home");

  RegistrarEditorInput wep{.ssid = "W", .auth = RegistrarAuth::Open, .wep = true,
                           .wepKeyLengthChoice = 2, .keyIndex = 3, .key = "abcdefghijklm"};
  EXPECT_EQ(RegistrarKeyLimit(wep), 13);
  EXPECT_FALSE(RegistrarNeedsInsecureConfirmation(wep));
  c = BuildRegistrarCredential(wep, previous);
  EXPECT_EQ(c.EncryType, WPS_ENCR_WEP);
  EXPECT_EQ(c.KeyLength, 13u);
  EXPECT_EQ(c.KeyIndex, 3u);
  EXPECT_EQ(WpsCredentialKey(c), "abcdefghijklm");

  RegistrarEditorInput wpa{.ssid = "P", .auth = RegistrarAuth::WpaPsk, .aes = false,
                           .keyIndex = 2, .key = "passphrase"};
  c = BuildRegistrarCredential(wpa, previous);
  EXPECT_EQ(c.AuthType, WPS_AUTH_WPAPSK);
  EXPECT_EQ(c.EncryType, WPS_ENCR_TKIP);
  EXPECT_EQ(c.KeyIndex, 0u);
  EXPECT_EQ(c.KeyLength, 10u);

  RegistrarEditorInput wpa2{.ssid = std::string(40, 'S'), .auth = RegistrarAuth::Wpa2Psk,
                            .aes = true, .key = std::string(80, 'k')};
  c = BuildRegistrarCredential(wpa2, previous);
  EXPECT_EQ(c.AuthType, WPS_AUTH_WPA2PSK);
  EXPECT_EQ(c.EncryType, WPS_ENCR_AES);
  EXPECT_EQ(c.SsidLength, 32u) << "cut to the field";
  EXPECT_EQ(c.KeyLength, 64u) << "cut to the field";
}

TEST(WpsRegistrarEditor, AsciiFormatSwitchesBetweenTheSizesPairs) {
  struct Row {
    int choice;
    bool ascii;
    int expected;
  };
  const Row rows[] = {{0, false, 1}, {1, true, 0}, {2, false, 3}, {3, true, 2},
                      {0, true, 0},  {3, false, 3}, {7, true, 2}, {-1, false, 1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.choice << (r.ascii ? " ascii" : " hex"));
    const int choice = RegistrarWepChoiceForFormat(r.choice, r.ascii);
    EXPECT_EQ(choice, r.expected);
    EXPECT_EQ(RegistrarWepChoiceIsAscii(choice), r.ascii);
  }
}

WpsCredential Credential(uint32_t auth, uint32_t encr, std::string_view key, uint32_t keyIndex) {
  return test::MakeCredential("Home", auth, encr, key, keyIndex);
}

struct InputRow {
  const char* name;
  WpsCredential credential;
  RegistrarAuth auth;
  bool wep;
  bool aes;
  int wepChoice;
  uint32_t keyIndex;
  const char* key;
};
void PrintTo(const InputRow& row, std::ostream* os) { *os << row.name; }
class RegistrarInput : public ::testing::TestWithParam<InputRow> {};

// What the editor shows for credential 0, and that OK without a change writes it back as it was.
TEST_P(RegistrarInput, FromCredentialAndBack) {
  const InputRow& r = GetParam();
  const RegistrarEditorInput in = RegistrarInputFromCredential(r.credential);
  EXPECT_EQ(in.ssid, "Home");
  EXPECT_EQ(in.auth, r.auth);
  EXPECT_EQ(in.wep, r.wep);
  if (r.auth != RegistrarAuth::Open) {
    EXPECT_EQ(in.aes, r.aes);
  }
  EXPECT_EQ(in.wepKeyLengthChoice, r.wepChoice);
  EXPECT_EQ(in.keyIndex, r.keyIndex);
  EXPECT_EQ(in.key, r.key);
  // Types and indexes the editor has no choice for are not written back as they were.
  if (r.auth == RegistrarAuth::Wpa2Psk && r.credential.AuthType != WPS_AUTH_WPA2PSK) return;
  if (r.credential.KeyIndex > 3) return;
  WpsCredential back = BuildRegistrarCredential(in, r.credential);
  if (r.auth != RegistrarAuth::Open) back.KeyIndex = r.credential.KeyIndex;  // PSK writes 0
  EXPECT_EQ(back, r.credential);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RegistrarInput,
    ::testing::Values(
        InputRow{"Wpa2PskAes", Credential(32, 8, "passphrase", 0), RegistrarAuth::Wpa2Psk, false, true, 0, 0, "passphrase"},
        InputRow{"WpaPskTkip", Credential(2, 4, "passphrase", 0), RegistrarAuth::WpaPsk, false, false, 0, 0, "passphrase"},
        InputRow{"OpenNone", Credential(1, 1, "", 0), RegistrarAuth::Open, false, true, 0, 0, ""},
        InputRow{"Wep26Key3", Credential(1, 2, "0123456789abcdef0123456789", 2), RegistrarAuth::Open, true, true, 3, 2, "0123456789abcdef0123456789"},
        InputRow{"Wep13", Credential(1, 2, "abcdefghijklm", 0), RegistrarAuth::Open, true, true, 2, 0, "abcdefghijklm"},
        InputRow{"MixedShowsAsWpa2", Credential(34, 12, "passphrase", 0), RegistrarAuth::Wpa2Psk, false, true, 0, 0, "passphrase"},
        InputRow{"WepIndexPastCombo", Credential(1, 2, "abcde", 9), RegistrarAuth::Open, true, true, 0, 0, "abcde"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WpsRegistrar, PinRunDropsTheKeyOfAnOpenCredential) {
  WpsCredential open;
  open.AuthType = WPS_AUTH_OPEN;
  open.EncryType = WPS_ENCR_NONE;
  open.KeyLength = 12;
  PrepareRegistrarPinCredential(open);
  EXPECT_EQ(open.KeyLength, 0u);
  WpsCredential wep = open;
  wep.EncryType = WPS_ENCR_WEP;
  wep.KeyLength = 5;
  PrepareRegistrarPinCredential(wep);
  EXPECT_EQ(wep.KeyLength, 5u);
}

}  // namespace
}  // namespace ov
