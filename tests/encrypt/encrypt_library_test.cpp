// libOvEncrypt.so through its exports, as the utility calls them: 256-byte buffers, the input
// twice, the length in characters. Random texts check the round trip and the output rules.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/ini/ini.h"
#include "platform/registry/hive_store.h"
#include "platform/registry/registry.h"
#include "siblings/encrypt_client.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

using CipherExport = int (*)(const char*, const char*, char*, int);

constexpr size_t kLongestEncrypted = 159;  // longer texts do not fit 255 characters encrypted
constexpr char kPrefix[] = "$ov1$";

class EncryptLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = ::dlopen(DefaultEncryptLibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << ::dlerror();
    encrypt_ = reinterpret_cast<CipherExport>(::dlsym(handle_, "OV_Encrypt"));
    decrypt_ = reinterpret_cast<CipherExport>(::dlsym(handle_, "OV_Decrypt"));
    ASSERT_NE(encrypt_, nullptr);
    ASSERT_NE(decrypt_, nullptr);
  }
  void TearDown() override {
    if (handle_) ::dlclose(handle_);
  }

  // One call as the utility makes it; the output must be a text that ends inside the buffer.
  static std::string Call(CipherExport fn, const std::string& text) {
    char input[256] = {};
    char output[256] = {};
    EXPECT_LT(text.size(), sizeof input);
    std::memcpy(input, text.data(), text.size());
    EXPECT_EQ(fn(input, input, output, static_cast<int>(text.size())), 0);
    EXPECT_LT(::strnlen(output, sizeof output), sizeof output) << "no NUL inside the buffer";
    return std::string(output);
  }
  std::string Encrypt(const std::string& t) const { return Call(encrypt_, t); }
  std::string Decrypt(const std::string& t) const { return Call(decrypt_, t); }

  // Random texts of 1..`longest` characters: printable ASCII, or every byte but NUL.
  static std::vector<std::string> RandomTexts(size_t count, bool printableOnly, uint32_t seed,
                                              size_t longest = 255) {
    std::mt19937 random(seed);
    std::vector<std::string> texts;
    for (size_t i = 0; i < count; ++i) {
      std::string t(1 + random() % longest, ' ');
      for (char& c : t) {
        c = printableOnly ? static_cast<char>(0x20 + random() % 95)
                          : static_cast<char>(1 + random() % 255);
      }
      texts.push_back(t);
    }
    return texts;
  }

  void* handle_ = nullptr;
  CipherExport encrypt_ = nullptr;
  CipherExport decrypt_ = nullptr;
};

bool IsBase64Url(const std::string& s) {
  for (char c : s) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') return false;
  }
  return true;
}

TEST_F(EncryptLibraryTest, EveryTextRoundTripsWithinTheOutputRules) {
  std::vector<std::string> texts = RandomTexts(1500, true, 1);
  for (auto& t : RandomTexts(1500, false, 2)) texts.push_back(t);
  for (size_t n : {size_t{1}, kLongestEncrypted, kLongestEncrypted + 1, size_t{255}}) {
    texts.push_back(std::string(n, 'a'));
    texts.push_back(std::string(n, '\xFF'));
  }
  for (int c = 0x20; c < 0x7F; ++c) texts.push_back(std::string(1, static_cast<char>(c)));

  for (const std::string& t : texts) {
    SCOPED_TRACE(testing::Message() << "length " << t.size() << ": " << t);
    const std::string e = Encrypt(t);
    ASSERT_LE(e.size(), 255u);
    EXPECT_EQ(Decrypt(e), t);
    if (t.size() <= kLongestEncrypted) {
      ASSERT_EQ(e.rfind(kPrefix, 0), 0u) << e;
      EXPECT_TRUE(IsBase64Url(e.substr(sizeof kPrefix - 1))) << e;
    } else {
      EXPECT_EQ(e, t) << "too long to encrypt within 255 characters: kept as it is";
    }
  }
}

TEST_F(EncryptLibraryTest, ClearTextComesBackUnchangedFromDecryption) {
  std::vector<std::string> texts = RandomTexts(500, true, 3);
  for (auto& t : RandomTexts(500, false, 4)) texts.push_back(t);
  for (const char* t : {"$ov1$", "$ov1$AAAA", "$ov1$not base64!", "12345678", "$OV1$abc"}) {
    texts.push_back(t);
  }
  for (const std::string& t : texts) {
    SCOPED_TRACE(t);
    EXPECT_EQ(Decrypt(t), t);
  }
}

TEST_F(EncryptLibraryTest, AnAlteredTextIsNotDecryptedIntoSomethingElse) {
  const std::string e = Encrypt("a pass phrase of some length");
  ASSERT_EQ(e.rfind(kPrefix, 0), 0u);
  for (size_t i = sizeof kPrefix - 1; i < e.size(); ++i) {
    std::string altered = e;
    altered[i] = altered[i] == 'A' ? 'B' : 'A';
    SCOPED_TRACE(altered);
    EXPECT_EQ(Decrypt(altered), altered);
  }
  EXPECT_EQ(Decrypt(e.substr(0, e.size() - 1)), e.substr(0, e.size() - 1));
}

TEST_F(EncryptLibraryTest, OneProductKeyAndAFreshNonceEachTime) {
  const std::string a = Encrypt("same secret");
  const std::string b = Encrypt("same secret");
  EXPECT_NE(a, b);
  EXPECT_EQ(Decrypt(a), "same secret");
  EXPECT_EQ(Decrypt(b), "same secret");
  // Made by another build of the library: every installation shares the key, so exported
  // profiles import elsewhere.
  EXPECT_EQ(Decrypt("$ov1$tkYbb8VUdf7Uq_rQo_rRUA4vg9SFF0Q6wZ1A-ghrq4LOlN0Mb8S9IcRB36j1qjKR"),
            "exported pass phrase");
}

TEST_F(EncryptLibraryTest, EncryptedTextsSurviveTheIniEngineAndTheRegistry) {
  test::TempDir dir;
  test::ScopedMachineRoot root(dir.path());
  const std::string ini = dir.file("profiles.ini");
  // Texts that get encrypted; longer ones stay clear text, under the store's own rules.
  std::vector<std::string> texts = RandomTexts(60, true, 5, kLongestEncrypted);
  for (auto& t : RandomTexts(60, false, 6, kLongestEncrypted)) texts.push_back(t);
  for (size_t i = 0; i < texts.size(); ++i) {
    const std::string e = Encrypt(texts[i]);
    ASSERT_NE(e, texts[i]);
    const std::string key = "WPAPSK" + std::to_string(i);
    SCOPED_TRACE(e);
    ASSERT_TRUE(IniWriteString(ini, "Profile", key, e));
    EXPECT_EQ(IniReadString(ini, "Profile", key, "<missing>", 255), e);
    ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test", key, e), 0u);
    EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test", key).value_or("<missing>"), e);
  }
  registry_detail::CloseConnections();
}

TEST_F(EncryptLibraryTest, UnusableArgumentsGiveAnErrorAndAnEmptyOutput) {
  char input[256];
  char output[256];
  std::memset(input, 'x', sizeof input);  // no NUL anywhere in the buffer
  std::memset(output, 'y', sizeof output);
  EXPECT_EQ(encrypt_(input, input, output, 255), -1);
  EXPECT_EQ(output[0], '\0');
  std::memset(output, 'y', sizeof output);
  EXPECT_EQ(decrypt_(input, input, output, 255), -1);
  EXPECT_EQ(output[0], '\0');
  EXPECT_EQ(encrypt_(nullptr, nullptr, output, 1), -1);
  EXPECT_EQ(encrypt_("abc", "abc", output, -1), -1);
  EXPECT_EQ(encrypt_("abc", "abc", nullptr, 3), -1);

  // The length in characters counts: only that much of the text is taken.
  std::memset(output, 0, sizeof output);
  std::memset(input, 0, sizeof input);
  std::strcpy(input, "secret-and-more");
  ASSERT_EQ(encrypt_(input, input, output, 6), 0);
  EXPECT_EQ(Decrypt(output), "secret");
  // An empty text stays empty.
  ASSERT_EQ(encrypt_("", "", output, 0), 0);
  EXPECT_STREQ(output, "");
}

TEST(EncryptClient, LoadsTheLibraryForEachCallAndPassesValuesWithoutIt) {
  const std::string e = EncryptSecret("WEP key 0123");
  EXPECT_EQ(e.rfind(kPrefix, 0), 0u);
  EXPECT_EQ(DecryptSecret(e), "WEP key 0123");
  EXPECT_EQ(DecryptSecret("written in clear"), "written in clear");

  // What the library cannot take is kept as it is.
  for (const std::string& t : {std::string(), std::string(256, 'k'), std::string("a\0b", 3)}) {
    SCOPED_TRACE(t.size());
    EXPECT_EQ(EncryptSecret(t), t);
    EXPECT_EQ(DecryptSecret(t), t);
  }

  test::TempDir dir;
  const auto missing = dir.path() / kEncryptLibraryName;
  EXPECT_EQ(EncryptSecretWith(missing, "secret"), "secret");
  EXPECT_EQ(DecryptSecretWith(missing, e), e);
  // A library without the exports.
  EXPECT_EQ(EncryptSecretWith("libm.so.6", "secret"), "secret");
}

}  // namespace
}  // namespace ov
