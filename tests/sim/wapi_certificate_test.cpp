// The simulated IHV extension's WAPI certificate check: the judge over the installed buffer, the
// registry values it reads, the scenario's "wapi-cert" access points and their beacons.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <filesystem>
#include <functional>

#include "driver/oid/bssid_list.h"
#include "nativewifi/wlan_profile_xml.h"
#include "platform/registry/hive_store.h"
#include "platform/registry/registry.h"
#include "platform/system/error_codes.h"
#include "platform/system/hex_text.h"
#include "siblings/wapi_exports.h"
#include "siblings/wapi_keys.h"
#include "siblings/x509_file.h"
#include "sim/beacon_elements.h"
#include "sim/element_constants.h"
#include "sim/pcap_beacon.h"
#include "sim/pcap_beacon.h"
#include "sim/wapi_certificate_check.h"
#include "sim/wapi_certificate_registry.h"
#include "sim/wlan_security.h"
#include "tests/support/temp_dir.h"
#include "views/bss_describe.h"

namespace ov::sim {
namespace {

namespace fs = std::filesystem;
using namespace ov::wlan;
using Bytes = std::vector<uint8_t>;

const fs::path kScenarioCerts = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/wapi";
const fs::path kTestCerts = fs::path(OVUI_SOURCE_DIR) / "tests/wapi/certificates";

// 2030-01-01, 2047-01-01 and 2026-01-01, 00:00 UTC.
constexpr int64_t kIn2030 = 1893456000;
constexpr int64_t kIn2047 = 2429913600;
constexpr int64_t kIn2026 = 1767225600;

Bytes Der(const fs::path& file) {
  std::string error;
  auto der = ReadCertificateDer(file.string(), &error);
  EXPECT_TRUE(der) << error;
  return der.value_or(Bytes{});
}

Bytes Joined(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// The buffer with the check value the certificate install gives it.
InstalledWapiCertificate Installed(Bytes buffer) {
  Bytes mac = wapi::KeyCheckValue(buffer);
  return {std::move(buffer), std::move(mac)};
}

// A user certificate naming the AS as its issuer but signed by a key of its own.
Bytes ForgedUserCertificate(const Bytes& asDer) {
  wapi::X509Ptr as = wapi::CertificateFromDer(asDer.data(), asDer.size());
  EVP_PKEY* key = EVP_EC_gen("P-256");
  wapi::X509Ptr forged(X509_new());
  EXPECT_TRUE(as && key && forged);
  if (!as || !key || !forged) return {};
  X509_set_version(forged.get(), 2);
  ASN1_INTEGER_set(X509_get_serialNumber(forged.get()), 7);
  X509_set_issuer_name(forged.get(), X509_get_subject_name(as.get()));
  X509_NAME* subject = X509_NAME_new();
  X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("wapi-station"), -1, -1, 0);
  X509_set_subject_name(forged.get(), subject);
  X509_NAME_free(subject);
  X509_gmtime_adj(X509_getm_notBefore(forged.get()), 0);
  X509_gmtime_adj(X509_getm_notAfter(forged.get()), 3600L * 24 * 365 * 10);
  X509_set_pubkey(forged.get(), key);
  EXPECT_GT(X509_sign(forged.get(), key, EVP_sha256()), 0);
  EVP_PKEY_free(key);
  return wapi::DerBytes(forged.get());
}

class WapiCertificateCheck : public ::testing::Test {
 protected:
  const Bytes as = Der(kScenarioCerts / "as.cer");
  const Bytes user = Der(kScenarioCerts / "user.cer");
  const Bytes otherAs = Der(kTestCerts / "other-as.cer");
  const Bytes otherUser = Der(kTestCerts / "other-user.cer");
};

TEST_F(WapiCertificateCheck, OnlyTheAsOwnUserCertificateWholeAndValidIsAccepted) {
  using V = WapiCertificateVerdict;
  const Bytes right = Joined({user, as});
  InstalledWapiCertificate wrongMac = Installed(right);
  wrongMac.mac = wapi::KeyCheckValue(Joined({otherUser, otherAs}));
  InstalledWapiCertificate noMac = Installed(right);
  noMac.mac.clear();
  const Bytes garbage(600, 0x30);
  struct Case {
    const char* name;
    std::optional<InstalledWapiCertificate> installed;
    int64_t when;
    V verdict;
  };
  const Case cases[] = {
      {"the right certificate", Installed(right), kIn2030, V::Accepted},
      {"the right user certificate in DER from its own file",
       Installed(Joined({Der(kTestCerts / "user-der.cer"), as})), kIn2030, V::Accepted},
      {"another AS's user with that AS", Installed(Joined({otherUser, otherAs})), kIn2030, V::OtherAs},
      {"the right user with another AS", Installed(Joined({user, otherAs})), kIn2030, V::OtherAs},
      {"the two in the wrong order", Installed(Joined({as, user})), kIn2030, V::OtherAs},
      {"another AS's user with this AS", Installed(Joined({otherUser, as})), kIn2030, V::NotSignedByAs},
      {"a user naming this AS, signed by another key", Installed(Joined({ForgedUserCertificate(as), as})),
       kIn2030, V::NotSignedByAs},
      {"the AS certificate cut by one byte", Installed(Bytes(right.begin(), right.end() - 1)), kIn2030,
       V::NotTwoCertificates},
      {"cut inside the user certificate", Installed(Bytes(right.begin(), right.begin() + 100)), kIn2030,
       V::NotTwoCertificates},
      {"one byte after the AS certificate", Installed(Joined({right, Bytes{0x00}})), kIn2030,
       V::NotTwoCertificates},
      {"a third certificate after them", Installed(Joined({right, as})), kIn2030, V::NotTwoCertificates},
      {"the user certificate alone", Installed(user), kIn2030, V::NotTwoCertificates},
      {"no certificate at all", Installed(garbage), kIn2030, V::NotTwoCertificates},
      {"the check value of another buffer", wrongMac, kIn2030, V::CheckValueWrong},
      {"no check value", noMac, kIn2030, V::CheckValueWrong},
      {"nothing installed", std::nullopt, kIn2030, V::NothingInstalled},
      {"an empty buffer", Installed(Bytes{}), kIn2030, V::NothingInstalled},
      {"the user certificate has expired", Installed(right), kIn2047, V::OutsideValidity},
      {"the user certificate is not valid yet", Installed(right), kIn2026, V::OutsideValidity},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(JudgeWapiCertificate(as, c.installed, c.when), c.verdict);
  }
}

// Every cut of the buffer, and every single flipped byte with a check value made for it, is
// refused without reading past the buffer (the sanitizer builds would see it).
TEST_F(WapiCertificateCheck, NoCutOrChangedBufferIsAccepted) {
  const Bytes right = Joined({user, as});
  for (size_t size = 0; size < right.size(); ++size) {
    EXPECT_NE(JudgeWapiCertificate(as, Installed(Bytes(right.begin(), right.begin() + size)), kIn2030),
              WapiCertificateVerdict::Accepted)
        << "cut at " << size;
  }
  for (size_t at = 0; at < right.size(); ++at) {
    Bytes changed = right;
    changed[at] ^= 0x01;
    EXPECT_NE(JudgeWapiCertificate(as, Installed(changed), kIn2030), WapiCertificateVerdict::Accepted)
        << "byte " << at;
  }
}

// The service's verdict on a WAPI profile: certificate profiles only on certificate networks,
// preshared-key profiles only on preshared-key networks, the certificate's verdict as a reason.
TEST_F(WapiCertificateCheck, ConnectionsJudgeTheCertificateOnlyOnCertificateNetworks) {
  AccessPointSpec certAp;
  certAp.ssid = "Net";
  certAp.security = ApSecurity::WapiCert;
  certAp.asCertificate = as;
  AccessPointSpec pskAp;
  pskAp.ssid = "Net";
  pskAp.security = ApSecurity::WapiPsk;
  pskAp.passphrase = "wapi key 1";
  ProfileDocument certProfile;
  certProfile.ssid = {'N', 'e', 't'};
  certProfile.ihvWapi = true;
  certProfile.wapiMode = "1";
  ProfileDocument pskProfile = certProfile;
  pskProfile.wapiMode = "2";
  const std::string key = "wapi key 1";
  const Bytes baseKey = wapi::DeriveBaseKey({key.begin(), key.end()});
  pskProfile.wapiKey = HexEncode(baseKey);
  pskProfile.wapiKeyCheck = HexEncode(wapi::KeyCheckValue(baseKey));

  const WapiCertificateEvidence right{Installed(Joined({user, as})), kIn2030};
  const WapiCertificateEvidence other{Installed(Joined({otherUser, otherAs})), kIn2030};
  const WapiCertificateEvidence nothing{std::nullopt, kIn2030};
  struct Case {
    const char* name;
    const AccessPointSpec& ap;
    const ProfileDocument& profile;
    const WapiCertificateEvidence& evidence;
    uint32_t reason;
  };
  const Case cases[] = {
      {"certificate profile, right certificate", certAp, certProfile, right, WLAN_REASON_CODE_SUCCESS},
      {"certificate profile, other certificate", certAp, certProfile, other,
       ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"certificate profile, nothing installed", certAp, certProfile, nothing,
       ONEX_REASON_CODE_IDENTITY_NOT_FOUND},
      {"preshared-key profile on a certificate network", certAp, pskProfile, right,
       WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE},
      {"certificate profile on a preshared-key network", pskAp, certProfile, right,
       WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE},
      {"preshared-key profile on its network", pskAp, pskProfile, nothing, WLAN_REASON_CODE_SUCCESS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConnectionVerdict v = JudgeConnection(c.ap, c.profile, std::nullopt, c.evidence);
    EXPECT_EQ(v.reasonCode, c.reason) << ReasonCodeText(v.reasonCode);
    if (v.reasonCode != WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE) {
      EXPECT_EQ(v.security.authAlgorithm, DOT11_AUTH_ALGO_IHV_START);
      EXPECT_TRUE(v.security.securityEnabled);
    }
  }
}

// The registry values, written as the certificate install writes them, read back bounded.
class InstalledWapiCertificateRegistry : public ::testing::Test {
 protected:
  ~InstalledWapiCertificateRegistry() override { registry_detail::CloseConnections(); }

  static void Put(const std::string& subKey, const std::string& name, uint32_t type,
                  const std::string& data) {
    ASSERT_EQ(RegWriteValue(HKEY_CLASSES_ROOT, std::string(kWapiAuthKeyPath) + "\\" + subKey, name,
                            type, data),
              ERROR_SUCCESS);
  }
  static std::string Text(const std::string& s) { return s + '\0'; }

  test::TempDir dir_;
  test::ScopedMachineRoot root_{dir_.path()};
};

TEST_F(InstalledWapiCertificateRegistry, ReadsTheInstalledCertificateAndNothingMalformed) {
  const std::string buffer(900, 'c');
  const std::string mac(wapi::kMacBufferSize, 'm');
  struct Value {
    uint32_t type;
    std::string data;
  };
  struct Case {
    const char* name;
    std::optional<Value> count;  // "Cert" "CertX509Num"
    std::optional<Value> value;  // "X509Cert0" "value"
    std::optional<Value> check;  // "X509Cert0" "mac"
    bool found;
  };
  const Value one{REG_SZ, Text("1")};
  const Value whole{REG_BINARY, buffer};
  const Value rightMac{REG_BINARY, mac};
  const Case cases[] = {
      {"nothing installed", std::nullopt, std::nullopt, std::nullopt, false},
      {"the certificate form", one, whole, rightMac, true},
      {"a buffer as large as the install's", one, Value{REG_BINARY, std::string(wapi::kCertBufferSize, 'c')},
       rightMac, true},
      {"a preshared-key install since (no X.509 certificate)", Value{REG_SZ, Text("0")}, whole, rightMac,
       false},
      {"no count", std::nullopt, whole, rightMac, false},
      {"a long count text", Value{REG_SZ, Text(std::string(100000, '1'))}, whole, rightMac, false},
      {"no check value", one, whole, std::nullopt, false},
      {"a buffer larger than the install's", one,
       Value{REG_BINARY, std::string(wapi::kCertBufferSize + 1, 'c')}, rightMac, false},
      {"a check value longer than the install's", one, whole, Value{REG_BINARY, mac + "m"}, false},
      {"the buffer as text", one, Value{REG_SZ, Text(buffer)}, rightMac, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SHDeleteKey(HKEY_CLASSES_ROOT, "CLSID");
    RegKey gone;
    ASSERT_NE(gone.open(HKEY_CLASSES_ROOT, kWapiAuthKeyPath), ERROR_SUCCESS);
    if (c.count) Put("Cert", "CertX509Num", c.count->type, c.count->data);
    if (c.value) Put("X509Cert0", "value", c.value->type, c.value->data);
    if (c.check) Put("X509Cert0", "mac", c.check->type, c.check->data);
    auto installed = ReadInstalledWapiCertificate();
    ASSERT_EQ(installed.has_value(), c.found);
    if (c.found) {
      EXPECT_EQ(std::string(installed->buffer.begin(), installed->buffer.end()), c.value->data);
      EXPECT_EQ(std::string(installed->mac.begin(), installed->mac.end()), mac);
    }
  }
}

// "as_certificate": a PEM or DER file beside the scenario, refused with a reason otherwise.
TEST(WapiCertificateAccessPoint, TheAsCertificateComesFromAFileBesideTheScenario) {
  test::TempDir dir;
  test::WriteFileBytes(dir.path() / "not-a-certificate.cer", "-----BEGIN CERTIFICATE-----\nxx\n");
  ASSERT_EQ(::mkfifo((dir.path() / "fifo.cer").c_str(), 0600), 0);
  const std::string base = R"("ssid":"Net","bssid":"02:00:00:00:00:01","channel":1)";
  struct Case {
    const char* name;
    std::string json;
    std::string baseDir;
    std::string message;  // empty: accepted
  };
  const Case cases[] = {
      {"PEM beside the scenario", R"("security":"wapi-cert","as_certificate":"as.cer")",
       kScenarioCerts.string(), ""},
      {"DER", R"("security":"wapi-cert","as_certificate":"user-der.cer")", kTestCerts.string(), ""},
      {"an absolute path",
       R"("security":"wapi-cert","as_certificate":")" + (kScenarioCerts / "as.cer").string() + "\"", "", ""},
      {"no file named", R"("security":"wapi-cert")", kScenarioCerts.string(), "as_certificate: missing"},
      {"an empty name", R"("security":"wapi-cert","as_certificate":"")", kScenarioCerts.string(),
       "as_certificate: missing"},
      {"a missing file", R"("security":"wapi-cert","as_certificate":"nowhere.cer")", dir.path().string(),
       "does not exist"},
      {"a file without a certificate", R"("security":"wapi-cert","as_certificate":"not-a-certificate.cer")",
       dir.path().string(), "holds no certificate"},
      {"a FIFO", R"("security":"wapi-cert","as_certificate":"fifo.cer")", dir.path().string(),
       "is not a regular file"},
      {"on a preshared-key network",
       R"("security":"wapi-psk","passphrase":"wapi key 1","as_certificate":"as.cer")",
       kScenarioCerts.string(), "only a wapi-cert network"},
      {"with a passphrase", R"("security":"wapi-cert","as_certificate":"as.cer","passphrase":"wapi key 1")",
       kScenarioCerts.string(), "passphrase: only the PSK kinds"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AccessPointSpec spec;
    std::string error;
    bool ok = ParseAccessPointJson("{" + base + "," + c.json + "}", c.baseDir, &spec, &error);
    if (c.message.empty()) {
      ASSERT_TRUE(ok) << error;
      EXPECT_EQ(spec.security, ApSecurity::WapiCert);
      EXPECT_TRUE(wapi::CertificateFromDer(spec.asCertificate.data(), spec.asCertificate.size()));
    } else {
      EXPECT_FALSE(ok);
      EXPECT_NE(error.find(c.message), std::string::npos) << "message: " << error;
    }
  }

  // The PEM file and its DER twin give the same certificate.
  AccessPointSpec pem;
  AccessPointSpec der;
  std::string error;
  ASSERT_TRUE(ParseAccessPointJson(
      "{" + base + R"(,"security":"wapi-cert","as_certificate":"user.cer"})", kScenarioCerts.string(),
      &pem, &error));
  ASSERT_TRUE(ParseAccessPointJson(
      "{" + base + R"(,"security":"wapi-cert","as_certificate":"user-der.cer"})", kTestCerts.string(),
      &der, &error));
  EXPECT_EQ(pem.asCertificate, der.asCertificate);
}

// The beacon announces WAPI with certificate authentication (AKM 1) and SMS4, and the site
// survey's decoder reads it as WAPI-CA.
TEST(WapiCertificateAccessPoint, TheBeaconAnnouncesCertificateAuthentication) {
  AccessPointSpec spec;
  std::string error;
  ASSERT_TRUE(ParseAccessPointJson(
      R"({"ssid":"Net","bssid":"02:00:00:00:00:01","channel":1,"security":"wapi-cert","as_certificate":"as.cer"})",
      kScenarioCerts.string(), &spec, &error))
      << error;
  BeaconFields b = BuildBeacon(spec);
  auto wapiElement = FindElement(b.elements, ie::kWapi);
  ASSERT_GE(wapiElement.size(), 2u);
  EXPECT_EQ(HexEncode(wapiElement.subspan(2)), "0100010000147201010000147201001472010000");
  EXPECT_NE(b.capability & ie::kCapPrivacy, 0);

  std::vector<uint8_t> rates;
  for (uint16_t r : b.rates) rates.push_back(static_cast<uint8_t>((r & 0x7F) | (r & kBasicRateFlag ? 0x80 : 0)));
  BssDescription description;
  description.bssid = spec.bssid;
  description.ssid = spec.ssid;
  description.privacy = true;
  description.rssi = spec.signalDbm;
  description.beaconPeriod = spec.beaconPeriod;
  description.dsConfigKHz = AccessPointFrequencyKHz(spec);
  description.infrastructureMode = Ndis802_11Infrastructure;
  description.rates = rates;
  description.informationElements = b.elements;
  BssElements d = DecodeBssElements(MakeBssidEntry(description));
  EXPECT_TRUE(d.wapiCa);
  EXPECT_FALSE(d.wapiPsk);
  EXPECT_TRUE(d.sms4);
}

}  // namespace
}  // namespace ov::sim
