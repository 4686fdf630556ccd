// libOvCertMgr.so and libWAPIDLL.so through the loaders the utility calls them with, on
// certificates made for these tests (an authentication server, a station certificate it issued
// with the station's key in the same file, and an unrelated pair).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <openssl/pem.h>

#include <cstdio>

#include "platform/system/hex_text.h"
#include "profilepages/wapi_cert_rules.h"
#include "siblings/certmgr_client.h"
#include "siblings/wapi_client.h"
#include "siblings/wapi_keys.h"
#include "siblings/x509_file.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

const std::string kScenarioCerts = OVUI_SCENARIO_CERTS;
const std::string kTestCerts = OVUI_WAPI_CERTS;
const std::string kUser = kScenarioCerts + "/user.cer";  // certificate and key, PEM
const std::string kAs = kScenarioCerts + "/as.cer";
const std::string kOtherUser = kTestCerts + "/other-user.cer";
const std::string kOtherAs = kTestCerts + "/other-as.cer";
const std::string kUserWithoutKey = kTestCerts + "/user-without-key.cer";
const std::string kUserDer = kTestCerts + "/user-der.cer";
const std::string kMissing = kTestCerts + "/missing.cer";

// What `openssl x509 -enddate` says of the two scenario certificates.
constexpr char kUserExpiry[] = "2046/02/08 19:00:38";
constexpr char kAsExpiry[] = "2046/12/05 19:00:38";

class CertificateManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(module_.Load()) << DefaultCertMgrLibraryPath(); }
  CertificateManagerModule module_;
};

TEST_F(CertificateManagerTest, InformationNamesSubjectIssuerAndExpiry) {
  const struct {
    const char* name;
    WapiCertKind kind;
    std::string path;
    std::optional<WapiCertDetails> details;
  } rows[] = {
      {"station, PEM with its key", WapiCertKind::User, kUser,
       WapiCertDetails{"wapi-station", "Orvane WAPI AS", kUserExpiry}},
      {"station, DER", WapiCertKind::User, kUserDer,
       WapiCertDetails{"wapi-station", "Orvane WAPI AS", kUserExpiry}},
      {"server, self-issued", WapiCertKind::As, kAs,
       WapiCertDetails{"Orvane WAPI AS", "Orvane WAPI AS", kAsExpiry}},
      {"missing file", WapiCertKind::User, kMissing, std::nullopt},
      {"not a certificate", WapiCertKind::As, std::string(OVUI_SOURCE_DIR) + "/README.md", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto info = module_.GetCertInfo(row.kind, row.path);
    ASSERT_EQ(info.has_value(), row.details.has_value());
    if (!info) continue;
    EXPECT_EQ((WapiCertDetails{info->issuedTo, info->issuedBy, FormatFiletimeExpiry(info->expiryFiletime)}),
              *row.details);
    EXPECT_EQ(CertificateInfoDetails(&module_, row.kind, row.path), *row.details);
  }
}

TEST_F(CertificateManagerTest, PlantedFilesAreRefusedWithoutWaiting) {
  test::TempDir dir;
  const std::string fifo = dir.file("planted.cer");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(module_.GetCertInfo(WapiCertKind::User, fifo));
  EXPECT_EQ(module_.CheckCert(WapiCertKind::As, fifo), false);
  EXPECT_FALSE(module_.InstallCert(fifo, kAs));
  WapiDllLibrary library;
  WapiCertRecordBuffer record{};
  WapiCertExtraBuffer extra{};
  EXPECT_NE(library.LoadCertificate(WapiCertKind::User, fifo, record, extra), 0);
}

TEST_F(CertificateManagerTest, ChecksTellWhichFileMayServeWhere) {
  const struct {
    const char* name;
    WapiCertKind kind;
    std::string path;
    bool usable;
  } rows[] = {
      {"station certificate with its key", WapiCertKind::User, kUser, true},
      {"another station certificate with its key", WapiCertKind::User, kOtherUser, true},
      {"station certificate without its key", WapiCertKind::User, kUserWithoutKey, false},
      {"a server certificate as the station's", WapiCertKind::User, kAs, false},
      {"missing station file", WapiCertKind::User, kMissing, false},
      {"server certificate", WapiCertKind::As, kAs, true},
      {"another server certificate", WapiCertKind::As, kOtherAs, true},
      {"a station certificate as the server's", WapiCertKind::As, kUser, false},
      {"missing server file", WapiCertKind::As, kMissing, false},
  };
  for (const auto& row : rows) EXPECT_EQ(module_.CheckCert(row.kind, row.path), row.usable) << row.name;
}

TEST_F(CertificateManagerTest, PskInstallGivesTheBaseKeyAndItsCheckValue) {
  // Expected keys from `openssl dgst -sha256 -hmac <key>` over the label, first 16 bytes.
  const struct {
    const char* name;
    int form;
    const char* key;
    std::optional<std::string> baseKeyHex;
  } rows[] = {
      {"passphrase", wapi::kPskFormPassphrase, "wapi psk 12345", "65d5df7f14df529b5a0dac289390bd0f"},
      {"hexadecimal", wapi::kPskFormHex, "0f5a51D0", "36e52050a8660af7a223497b5109ee97"},
      {"hexadecimal, odd length", wapi::kPskFormHex, "0f5a51d", std::nullopt},
      {"hexadecimal, not a digit", wapi::kPskFormHex, "0f5a51dg", std::nullopt},
      {"empty", wapi::kPskFormPassphrase, "", std::nullopt},
      {"unknown form", 2, "wapi psk 12345", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto out = module_.InstallPsk(row.form, row.key);
    ASSERT_EQ(out.has_value(), row.baseKeyHex.has_value());
    if (!out) continue;
    EXPECT_EQ(HexEncode(out->key, HexCase::Lower), *row.baseKeyHex);
    EXPECT_EQ(out->mac, wapi::KeyCheckValue(out->key));
    EXPECT_EQ(out->mac.size(), 16u);
  }
}

TEST_F(CertificateManagerTest, CertificateInstallJoinsBothCertificates) {
  auto out = module_.InstallCert(kUser, kAs);
  ASSERT_TRUE(out);
  std::vector<uint8_t> expected = wapi::DerBytes(wapi::ReadCertificateFile(kUser).get());
  std::vector<uint8_t> server = wapi::DerBytes(wapi::ReadCertificateFile(kAs).get());
  ASSERT_FALSE(expected.empty());
  ASSERT_FALSE(server.empty());
  expected.insert(expected.end(), server.begin(), server.end());
  EXPECT_EQ(out->certificate, expected);
  EXPECT_EQ(out->mac, wapi::KeyCheckValue(expected));
  EXPECT_EQ(out->text, u"wapi-station");
  EXPECT_FALSE(module_.InstallCert(kUser, kMissing));
  EXPECT_FALSE(module_.InstallCert("", kAs));
}

TEST(CertificateManagerModule, MissingLibraryLoadsNothingAndKeepsAnEarlierOne) {
  CertificateManagerModule module;
  EXPECT_FALSE(module.Load("/nonexistent/libOvCertMgr.so"));
  EXPECT_FALSE(module.Loaded());
  EXPECT_FALSE(module.CheckCert(WapiCertKind::User, kUser).has_value()) << "a missing check is skipped";
  EXPECT_FALSE(module.InstallPsk(1, "wapi psk 12345"));
  ASSERT_TRUE(module.Load());
  EXPECT_FALSE(module.Load("/nonexistent/libOvCertMgr.so"));
  EXPECT_TRUE(module.Loaded());
  EXPECT_TRUE(module.InstallPsk(1, "wapi psk 12345"));
}

class WapiLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearWapiCertificates(library_); }
  size_t HeldCount() {
    std::vector<WapiEnumBuffer> buffers;
    int count = -1;
    EXPECT_EQ(library_.EnumSystemCertificate(count, buffers), 0);
    return static_cast<size_t>(count);
  }
  WapiDllLibrary library_;
};

TEST_F(WapiLibraryTest, InstalledCertificatesAreDescribedAndCleared) {
  WapiInstallOutcome user = InstallAndShowCertificate(library_, WapiCertKind::User, kUser);
  EXPECT_FALSE(user.refusal);
  EXPECT_EQ(user.details, (WapiCertDetails{"wapi-station", "Orvane WAPI AS", kUserExpiry}));
  WapiInstallOutcome server = InstallAndShowCertificate(library_, WapiCertKind::As, kAs);
  EXPECT_EQ(server.details, (WapiCertDetails{"Orvane WAPI AS", "Orvane WAPI AS", kAsExpiry}));
  EXPECT_EQ(HeldCount(), 2u);
  // The same certificate set up again is held once.
  InstallAndShowCertificate(library_, WapiCertKind::As, kAs);
  EXPECT_EQ(HeldCount(), 2u);

  ClearWapiCertificates(library_);
  EXPECT_EQ(HeldCount(), 0u);
  EXPECT_NE(library_.DeleteCertificate(0), 0) << "nothing left to delete";
}

TEST_F(WapiLibraryTest, EnumeratedBuffersFollowTheLayout) {
  ASSERT_FALSE(InstallAndShowCertificate(library_, WapiCertKind::User, kUser).refusal);
  std::vector<WapiEnumBuffer> buffers;
  int count = 0;
  ASSERT_EQ(library_.EnumSystemCertificate(count, buffers), 0);
  ASSERT_EQ(count, 1);
  const WapiEnumBuffer& b = buffers[0];
  std::vector<uint8_t> der = wapi::DerBytes(wapi::ReadCertificateFile(kUser).get());
  EXPECT_EQ((std::vector<uint8_t>(b.begin(), b.begin() + 4)), (std::vector<uint8_t>{0, 0, 0, 0}));
  EXPECT_EQ(b[4] | (b[5] << 8), wapi::kCertIdUser);
  EXPECT_EQ(static_cast<size_t>(b[6] | (b[7] << 8)), der.size());
  EXPECT_EQ((std::vector<uint8_t>(b.begin() + 8, b.begin() + 8 + static_cast<long>(der.size()))), der);

  WapiCertParamBuffers params;
  ASSERT_EQ(library_.GetCertificateManagerParam(b, params), 0);
  EXPECT_EQ(CountedText(params.subject), "wapi-station");
  EXPECT_EQ(CountedText(params.validTo), "460208190038Z");
  EXPECT_EQ(params.version, 3u);
  EXPECT_STREQ(reinterpret_cast<const char*>(params.param.data()), "0F5A0002");

  WapiEnumBuffer garbage(wapi::kEnumBufferSize, 0x30);
  EXPECT_NE(library_.GetCertificateManagerParam(garbage, params), 0);
}

TEST_F(WapiLibraryTest, LoadAndSetupRefuseWhatIsNoCertificateOfTheirKind) {
  EXPECT_EQ(InstallAndShowCertificate(library_, WapiCertKind::User, kMissing).refusal, IDS_ERROR_LOAD_CER);
  WapiCertRecordBuffer record{};
  WapiCertExtraBuffer extra{};
  ASSERT_EQ(library_.LoadCertificate(WapiCertKind::User, kUser, record, extra), 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(extra.data()), "wapi-station");
  EXPECT_NE(library_.SetupCertificate(WapiCertKind::As, kUser, record, extra), 0) << "a user record as AS";
  WapiCertRecordBuffer cut = record;
  cut[2] = 10;  // the length no longer covers the certificate
  cut[3] = 0;
  EXPECT_NE(library_.SetupCertificate(WapiCertKind::User, kUser, cut, extra), 0);
  WapiCertRecordBuffer longer = record;
  longer[2] = 0xFF;  // past the 8192-byte field
  longer[3] = 0xFF;
  EXPECT_NE(library_.SetupCertificate(WapiCertKind::User, kUser, longer, extra), 0);
  EXPECT_EQ(HeldCount(), 0u);
  EXPECT_EQ(library_.SetupCertificate(WapiCertKind::User, kUser, record, extra), 0);
  EXPECT_EQ(HeldCount(), 1u);
}

TEST(WapiDllLibrary, MissingLibraryCallsFailWithoutEffect) {
  WapiDllLibrary missing("/nonexistent/libWAPIDLL.so");
  EXPECT_EQ(missing.AccessUserCancel(), kWapiCallMissing);
  EXPECT_EQ(missing.DisAssociate(), kWapiCallMissing);
  EXPECT_EQ(missing.DeleteCertificate(0), kWapiCallMissing);
  EXPECT_EQ(InstallAndShowCertificate(missing, WapiCertKind::User, kUser).refusal, IDS_ERROR_LOAD_CER);
  WapiDllLibrary present;
  EXPECT_EQ(present.AccessUserCancel(), 0);
  EXPECT_EQ(present.DisAssociate(), 0);
}

}  // namespace
}  // namespace ov
