// The EAP-FAST settings blob: layout, versions, malformed blobs, and its EapHostConfig document.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "nativewifi/eap_fast_blob.h"

namespace ov {
namespace {

TEST(EapFastBlob, LayoutOfASmallBlob) {
  EapFastSettings s;
  s.flags = kEapFastAllowUnauthenticatedProvisioning | kEapFastUsePac;
  s.innerMethod = 6;
  s.pacFilePath = "a.pac";
  std::vector<uint8_t> expected = {'O', 'V', 'E', 'F', 1, 0, 0x05, 0x00,
                                   1,   1,   0,   6,        // inner method GTC
                                   2,   5,   0,   'a', '.', 'p', 'a', 'c'};
  EXPECT_EQ(EncodeEapFastBlob(s), expected);
  EXPECT_EQ(DecodeEapFastBlob(expected), s);
}

TEST(EapFastBlob, RoundTripOfEveryField) {
  EapFastSettings s;
  s.flags = 0x1F;
  s.innerMethod = 13;
  s.pacFilePath = "/home/user/corp.pac";
  s.outerIdentity = "anon@example.org";
  s.serverName = "radius.example.org";
  s.trustedRootHash.assign(20, 0x5A);
  EXPECT_EQ(DecodeEapFastBlob(EncodeEapFastBlob(s)), s);
}

TEST(EapFastBlob, MalformedBlobsAreNotUnderstood) {
  std::vector<uint8_t> good = EncodeEapFastBlob({});
  auto with = [&](std::initializer_list<uint8_t> tail) {
    std::vector<uint8_t> b = good;
    b.insert(b.end(), tail);
    return b;
  };
  struct Row {
    const char* name;
    std::vector<uint8_t> blob;
  } rows[] = {
      {"empty", {}},
      {"short header", {'O', 'V', 'E', 'F', 1}},
      {"wrong magic", {'X', 'V', 'E', 'F', 1, 0, 0, 0}},
      {"later major version", {'O', 'V', 'E', 'F', 2, 0, 0, 0}},
      {"field header cut", with({2, 5})},
      {"field past the end", with({2, 9, 0, 'a'})},
      {"inner method twice", with({1, 1, 0, 26})},
      {"unknown inner method", {'O', 'V', 'E', 'F', 1, 0, 0, 0, 1, 1, 0, 25}},
      {"inner method of two bytes", {'O', 'V', 'E', 'F', 1, 0, 0, 0, 1, 2, 0, 26, 0}},
      {"NUL in a text", with({3, 3, 0, 'a', 0, 'b'})},
      {"empty root hash", with({5, 0, 0})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_FALSE(DecodeEapFastBlob(row.blob));
    EXPECT_FALSE(EapFastBlobToXml(row.blob));
  }
  std::vector<uint8_t> longHash = good;
  longHash.insert(longHash.end(), {5, 153, 0});
  longHash.insert(longHash.end(), 153, 0xAA);
  EXPECT_FALSE(DecodeEapFastBlob(longHash));
}

TEST(EapFastBlob, ALaterMinorVersionIsReadWithoutItsNewFields) {
  std::vector<uint8_t> blob = {'O', 'V', 'E', 'F', 1, 7, 0x01, 0x00, 40, 2, 0, 'x', 'y', 1, 1, 0, 13};
  auto s = DecodeEapFastBlob(blob);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->innerMethod, 13);
  EXPECT_EQ(s->flags, kEapFastAllowUnauthenticatedProvisioning);
}

TEST(EapFastBlob, DocumentForMethod43Author9) {
  EapFastSettings s;
  s.flags = kEapFastValidateServer | kEapFastFastReconnect | kEapFastAllowAuthenticatedProvisioning;
  s.serverName = "radius <lab>";
  s.trustedRootHash = {0xAB, 0x01};
  s.pacFilePath = "/p a.pac";
  auto xml = EapFastBlobToXml(EncodeEapFastBlob(s));
  ASSERT_TRUE(xml);
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(xml->c_str()));
  pugi::xml_node root = doc.child("EapHostConfig");
  EXPECT_STREQ(root.attribute("xmlns").value(), "http://www.microsoft.com/provisioning/EapHostConfig");
  pugi::xml_node method = root.child("EapMethod");
  EXPECT_STREQ(method.child_value("Type"), "43");
  EXPECT_STREQ(method.child_value("VendorId"), "0");
  EXPECT_STREQ(method.child_value("VendorType"), "0");
  EXPECT_STREQ(method.child_value("AuthorId"), "9");
  pugi::xml_node fast = root.child("Config").child("eapFast");
  EXPECT_STREQ(fast.attribute("xmlns").value(), "http://www.cisco.com/CCX");
  EXPECT_STREQ(fast.child("validateServerCertificate").child("serverNameValidationRules")
                   .child_value("matchSubject"), "radius <lab>");
  EXPECT_STREQ(fast.child("validateServerCertificate").child("validateChainWithSpecificCa")
                   .child_value("certificateId"), "ab01");
  EXPECT_STREQ(fast.child_value("unprotectedIdentityPattern"), "anonymous");
  EXPECT_TRUE(fast.child("enableFastReconnect"));
  EXPECT_STREQ(fast.child("provisioning").child_value("allowUnauthenticatedProvisioning"), "false");
  EXPECT_STREQ(fast.child("provisioning").child_value("allowAuthenticatedProvisioning"), "true");
  EXPECT_STREQ(fast.child("provisioning").child_value("pacFile"), "/p a.pac");
  EXPECT_TRUE(fast.child("authMethods").child("builtinMethods").child("eapMschapv2"));

  EapFastSettings plain;
  auto simple = EapFastBlobToXml(EncodeEapFastBlob(plain));
  ASSERT_TRUE(simple);
  EXPECT_NE(simple->find("<doNotValidateServerCertificate />"), std::string::npos);
  EXPECT_NE(simple->find("<disableFastReconnect/>"), std::string::npos);
}

}  // namespace
}  // namespace ov
