// Key blocks: the driver's key record layout, WEP key texts, and the passphrase-to-key mapping
// against the IEEE 802.11i test vectors and Debian's wpa_passphrase.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "nativewifi/station_profile.h"
#include "profiles/key_material.h"
#include "profiles/store_encoding.h"

namespace ov {
namespace {

std::string Hex(const std::array<uint8_t, kPmkLength>& pmk) { return HexLower(pmk); }

TEST(KeyBlock, LayoutOfA5ByteTransmitKey) {
  KeyBlock key{kTransmitKeyBit | 2, {0x11, 0x22, 0x33, 0x44, 0x55}};
  std::vector<uint8_t> expected = {
      44, 0, 0, 0,                             // Length = 5 + 39
      2, 0, 0, 0x80,                           // KeyIndex 2, transmit key
      5, 0, 0, 0,                              // KeyLength
      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,      // BSSID: every BSSID
      0, 0, 0, 0, 0, 0,                        // padding to the counter's 8-byte alignment
      0, 0, 0, 0, 0, 0, 0, 0,                  // KeyRSC at 24
      0x11, 0x22, 0x33, 0x44, 0x55,            // material at 32
      0, 0, 0, 0, 0, 0, 0,                     // the block is KeyLength + 39 bytes
  };
  EXPECT_EQ(EncodeKeyBlock(key), expected);
  KeyBlock back;
  ASSERT_TRUE(DecodeKeyBlock(expected, back));
  EXPECT_EQ(back, key);
}

TEST(KeyBlock, DecodeRefusesInconsistentBlocks) {
  std::vector<uint8_t> good = EncodeKeyBlock({1, std::vector<uint8_t>(13, 0xAB)});
  ASSERT_EQ(good.size(), 52u);
  KeyBlock key{7, {1}};
  auto bad = good;
  bad[8] = 200;  // KeyLength past the block
  EXPECT_FALSE(DecodeKeyBlock(bad, key));
  bad = good;
  bad[0] = 51;  // Length disagrees with KeyLength
  EXPECT_FALSE(DecodeKeyBlock(bad, key));
  EXPECT_FALSE(DecodeKeyBlock(std::span(good).first(20), key));
  EXPECT_EQ(key, (KeyBlock{7, {1}}));  // untouched by the refusals
}

TEST(WepKeyBlock, LengthOfTheStoredText) {
  struct Row {
    const char* name;
    std::string text;
    int transmit;
    std::optional<KeyBlock> expected;
  } rows[] = {
      {"10 digits", "0102030405", 1, KeyBlock{kTransmitKeyBit | 0, {1, 2, 3, 4, 5}}},
      {"11 digits: first 10", "0102030405f", 2, KeyBlock{0, {1, 2, 3, 4, 5}}},
      {"26 digits", "0102030405060708090a0b0c0d", 1,
       KeyBlock{kTransmitKeyBit, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}}},
      {"1 character: no key", "a", 1, std::nullopt},
      {"empty: no key", "", 1, std::nullopt},
      {"4 digits: 13-byte key, missing digits zero", "abcd", 0,
       KeyBlock{0, {0xAB, 0xCD, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(BuildWepKeyBlock(1, row.text, row.transmit), row.expected);
  }
  auto key3 = BuildWepKeyBlock(3, "0102030405", 3);
  ASSERT_TRUE(key3);
  EXPECT_EQ(key3->keyIndex, kTransmitKeyBit | 2);
}

// IEEE 802.11i-2004, annex H.4: passphrase-to-PSK test vectors.
TEST(PassphraseToPmk, Ieee80211iVectors) {
  struct Row {
    const char* passphrase;
    const char* ssid;
    const char* psk;
  } rows[] = {
      {"password", "IEEE", "f42c6fc52df0ebef9ebb4b90b38a5f902e83fe1b135a70e23aed762e9710a12e"},
      {"ThisIsAPassword", "ThisIsASSID",
       "0dc0d6eb90555ed6419756b9a15ec3e3209b63df707dd508d14581f8982721af"},
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ",
       "becb93866bb8c3832cb777c2f559807c8c59afcb6eae734885001300a981cc62"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.passphrase);
    auto pmk = PassphraseToPmk(row.passphrase, row.ssid);
    ASSERT_TRUE(pmk);
    EXPECT_EQ(Hex(*pmk), row.psk);
  }
  EXPECT_FALSE(PassphraseToPmk(std::string(64, 'a'), "ssid"));
  EXPECT_FALSE(PassphraseToPmk("password", std::string(33, 's')));
}

std::string RunWpaPassphrase(const std::string& ssid, const std::string& passphrase) {
  // Arguments go through the shell quoted; the pairs below hold no single quotes.
  std::string command = "wpa_passphrase '" + ssid + "' '" + passphrase + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return "";
  std::string output;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe.get())) output += buffer;
  auto at = output.find("\tpsk=");
  if (at == std::string::npos) return "";
  return output.substr(at + 5, 64);
}

TEST(PassphraseToPmk, AgreesWithWpaPassphrase) {
  if (!std::filesystem::exists("/usr/bin/wpa_passphrase") &&
      !std::filesystem::exists("/sbin/wpa_passphrase") &&
      !std::filesystem::exists("/usr/sbin/wpa_passphrase")) {
    GTEST_SKIP() << "wpa_passphrase is not installed (Debian package wpasupplicant)";
  }
  struct Row {
    const char* ssid;
    const char* passphrase;
  } rows[] = {
      {"home", "correct horse battery staple"},
      {"Caf\xc3\xa9 Wi-Fi", "12345678"},
      {"x", "~!@#$%^&*()_+{}|:<>?`-=[];,./ and a long tail of 63 chars...."},
      {"SSID with exactly thirty-two b.", "passphrase"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.ssid);
    std::string expected = RunWpaPassphrase(row.ssid, row.passphrase);
    ASSERT_EQ(expected.size(), 64u) << "wpa_passphrase gave no key";
    auto pmk = PassphraseToPmk(row.passphrase, row.ssid);
    ASSERT_TRUE(pmk);
    EXPECT_EQ(Hex(*pmk), expected);
  }
}

TEST(AdhocKeyBlock, FromPassphraseOrHexadecimalKey) {
  auto fromPassphrase = BuildAdhocKeyBlock("password", "IEEE");
  ASSERT_TRUE(fromPassphrase);
  EXPECT_EQ(fromPassphrase->keyIndex, kTransmitKeyBit);
  EXPECT_EQ(fromPassphrase->encodedSize(), kAdhocKeyBlockSize);
  EXPECT_EQ(HexLower(fromPassphrase->material),
            "f42c6fc52df0ebef9ebb4b90b38a5f902e83fe1b135a70e23aed762e9710a12e");

  std::string hexKey = "00112233445566778899aabbccddeeff00112233445566778899AABBCCDDEEFF";
  auto fromHex = BuildAdhocKeyBlock(hexKey, "IEEE");
  ASSERT_TRUE(fromHex);
  EXPECT_EQ(HexLower(fromHex->material), "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff");
  EXPECT_EQ(EncodeKeyBlock(*fromHex).size(), 71u);

  EXPECT_FALSE(BuildAdhocKeyBlock("", "IEEE"));
  EXPECT_FALSE(BuildAdhocKeyBlock(std::string(64, 'z'), "IEEE"));  // 64 characters, not hex
  EXPECT_FALSE(BuildAdhocKeyBlock(std::string(65, 'a'), "IEEE"));
}

}  // namespace
}  // namespace ov
