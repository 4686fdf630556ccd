// Import Profile's security tab for each kind of credential: the choices the menus end on and
// the key they carry.
#include <gtest/gtest.h>

#include <ostream>

#include "tests/support/wps_credential_maker.h"
#include "wpspages/wps_import_rules.h"

namespace ov {
namespace {

using A = AuthChoice;
using C = CipherChoice;
using test::MakeCredential;

struct Row {
  const char* name;
  WpsCredential credential;
  A auth;
  C cipher;
  const char* psk;
  int keyIndex;     // -1: no WEP key set
  int keyHex;
  const char* key;
  bool use8021X;
};
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

class WpsImportState : public ::testing::TestWithParam<Row> {};

TEST_P(WpsImportState, ChoicesAndKey) {
  const Row& r = GetParam();
  const AuthEncryState s = WpsImportAuthEncryState(r.credential);
  EXPECT_EQ(s.auth, r.auth);
  EXPECT_EQ(s.cipher, r.cipher);
  EXPECT_EQ(s.psk, r.psk);
  EXPECT_EQ(s.use8021X, r.use8021X);
  EXPECT_TRUE(s.hostedByEditor);
  if (r.keyIndex < 0) {
    EXPECT_EQ(s.keyIndex, 0);
    for (const std::string& key : s.keys) EXPECT_EQ(key, "");
    return;
  }
  EXPECT_EQ(s.keyIndex, r.keyIndex);
  EXPECT_EQ(s.keyHex[r.keyIndex], r.keyHex);
  EXPECT_EQ(s.keys[r.keyIndex], r.key);
  EXPECT_TRUE(s.keysEnabled) << "a WEP choice enables the key controls";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WpsImportState,
    ::testing::Values(
        Row{"Open", MakeCredential("o", 1, 1), A::Open, C::None, "", -1, 0, "", false},
        Row{"Wep5", MakeCredential("w", 1, 2, "abcde", 0), A::Open, C::Wep, "", 0, 0, "abcde", false},
        Row{"Wep13Key3", MakeCredential("w", 1, 2, "abcdefghijklm", 2), A::Open, C::Wep, "", 2, 0,
            "abcdefghijklm", false},
        Row{"Wep10", MakeCredential("w", 1, 2, "0123456789", 1), A::Open, C::Wep, "", 1, 1, "0123456789", false},
        Row{"SharedWep26", MakeCredential("s", 4, 2, "0123456789abcdef0123456789", 3), A::Shared, C::Wep, "",
            3, 1, "0123456789abcdef0123456789", false},
        Row{"WepIndexPastTheKeys", MakeCredential("w", 1, 2, "abcde", 5), A::Open, C::Wep, "", -1, 0, "", false},
        Row{"WpaPskTkip", MakeCredential("p", 2, 4, "passphrase"), A::WpaPsk, C::Tkip, "passphrase", -1, 0, "", false},
        Row{"Wpa2PskAes", MakeCredential("p", 32, 8, "passphrase"), A::Wpa2Psk, C::Aes, "passphrase", -1, 0, "", false},
        Row{"MixedTakesWpaPskTkip", MakeCredential("p", 34, 12, "passphrase"), A::WpaPsk, C::Tkip, "passphrase",
            -1, 0, "", false},
        Row{"Wpa2Enterprise", MakeCredential("e", 16, 8), A::Wpa2, C::Aes, "", -1, 0, "", true},
        Row{"UnknownTypesKeepTheReset", MakeCredential("x", 64, 64, "k"), A::Open, C::None, "", -1, 0, "", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ov
