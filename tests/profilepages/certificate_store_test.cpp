// The certificate stores through OpenSSL, against a test PKI made here with the openssl command:
// a CA, a client certificate signed by it (PEM and PKCS#12 with a friendly name) and a bundle.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "profilepages/certificate_store.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

namespace fs = std::filesystem;

std::string Shell(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) return out;
  char buffer[256];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  EXPECT_EQ(::pclose(pipe), 0) << command;
  return out;
}

// "SHA1 Fingerprint=AB:CD:..." as bytes.
std::vector<uint8_t> Fingerprint(const std::string& pem) {
  const std::string text = Shell("openssl x509 -noout -fingerprint -sha1 -in '" + pem + "'");
  std::vector<uint8_t> bytes;
  const size_t eq = text.find('=');
  for (size_t i = eq + 1; i + 1 < text.size(); i += 3)
    bytes.push_back(static_cast<uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
  return bytes;
}

class CertificateStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string d = dir_.path().string();
    ca_ = d + "/ca.pem";
    client_ = d + "/client.pem";
    Shell("cd '" + d + "' && openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem"
        " -days 30 -subj '/O=Test Lab/CN=Test Lab Root'");
    Shell("cd '" + d + "' && openssl req -newkey rsa:2048 -nodes -keyout client.key -out client.csr"
        " -subj '/O=Test Lab/CN=alice'");
    Shell("cd '" + d + "' && openssl x509 -req -in client.csr -CA ca.pem -CAkey ca.key"
        " -CAcreateserial -out client.pem -days 10");
    ASSERT_TRUE(fs::exists(client_));
    fs::create_directory(dir_.path() / "my");
    personal_ = (dir_.path() / "my").string();
  }
  test::TempDir dir_;
  std::string ca_, client_, personal_;
};

TEST_F(CertificateStoreTest, ClientAndCaEntriesCarryTheirNamesAndSha1) {
  fs::copy_file(client_, personal_ + "/a-client.pem");
  Shell("cd '" + dir_.path().string() + "' && openssl pkcs12 -export -in client.pem -inkey client.key"
      " -name 'Alice laptop' -passout pass: -out my/b-client.p12");
  Shell("openssl x509 -in '" + client_ + "' -outform DER -out '" + personal_ + "/c-client.der'");
  test::WriteFileBytes(personal_ + "/d-garbage.pem", "-----BEGIN CERTIFICATE-----\nnot base64\n");

  const std::vector<CertDesc> mine = EnumerateCertFolder(personal_, kStorePersonal, IsoDate);
  ASSERT_EQ(mine.size(), 3u);  // PEM, PKCS#12, DER; the garbage file gives nothing
  const std::vector<uint8_t> hash = Fingerprint(client_);
  ASSERT_EQ(hash.size(), 20u);
  for (const CertDesc& d : mine) {
    EXPECT_EQ(d.issuedTo, "alice");
    EXPECT_EQ(d.issuedBy, "Test Lab Root");
    EXPECT_EQ(d.hash, hash);
    EXPECT_EQ(d.storeKind, kStorePersonal);
    EXPECT_EQ(d.expiration.size(), 10u);
  }
  EXPECT_FALSE(mine[0].hasFriendlyName);
  EXPECT_TRUE(mine[1].hasFriendlyName);
  EXPECT_EQ(mine[1].friendlyName, "Alice laptop");

  // A bundle holding the CA then the client, like the system trust store.
  const std::string bundle = dir_.file("bundle.crt");
  test::WriteFileBytes(bundle, test::ReadFileBytes(ca_) + test::ReadFileBytes(client_));
  const std::vector<CertDesc> roots = EnumerateCertBundle(bundle, kStoreOther, IsoDate);
  ASSERT_EQ(roots.size(), 2u);
  EXPECT_EQ(roots[0].issuedTo, "Test Lab Root");
  EXPECT_EQ(roots[0].issuedBy, "Test Lab Root");
  EXPECT_EQ(roots[0].hash, Fingerprint(ca_));
  EXPECT_EQ(roots[0].storeKind, kStoreOther);
  EXPECT_EQ(roots[1].hash, hash);
}

TEST_F(CertificateStoreTest, LinksFifosAndMissingStoresGiveNothing) {
  fs::create_symlink(client_, personal_ + "/link.pem");
  ASSERT_EQ(::mkfifo((personal_ + "/fifo.pem").c_str(), 0600), 0);
  EXPECT_TRUE(EnumerateCertFolder(personal_, kStorePersonal, IsoDate).empty());
  EXPECT_TRUE(EnumerateCertFolder(dir_.file("absent"), kStorePersonal, IsoDate).empty());
  EXPECT_TRUE(EnumerateCertBundle(dir_.file("absent.crt"), kStoreOther, IsoDate).empty());
  EXPECT_TRUE(EnumerateCertBundle(personal_ + "/fifo.pem", kStoreOther, IsoDate).empty());
}

TEST(CertificateStorePaths, PersonalFolderFollowsXdgDataHome) {
  const char* saved = std::getenv("XDG_DATA_HOME");
  const std::string previous = saved ? saved : "";
  ::setenv("XDG_DATA_HOME", "/data/u", 1);
  EXPECT_EQ(PersonalCertFolder(), "/data/u/ovui/certs");
  ::setenv("XDG_DATA_HOME", "relative", 1);  // not absolute: ignored
  EXPECT_NE(PersonalCertFolder(), "relative/ovui/certs");
  if (saved) ::setenv("XDG_DATA_HOME", previous.c_str(), 1); else ::unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace ov
