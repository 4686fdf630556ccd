#pragma once
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "driver/params/registry_writer.h"
#include "nativewifi/certificate_manager.h"
#include "nativewifi/station_profile.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_data.h"

namespace ov::test {

// ---- records ----

inline StationProfile Record(std::string_view ssid, uint32_t networkType, int32_t authMode,
                             int32_t cipherMode) {
  StationProfile r;
  r.ssid = MakeNdisSsid(ssid);
  r.networkType = networkType;
  r.authMode = authMode;
  r.cipherMode = cipherMode;
  r.loaded = 1;
  return r;
}

inline KeyBlock Key(uint32_t index, size_t length, bool transmit) {
  KeyBlock k;
  k.keyIndex = index | (transmit ? kTransmitKeyBit : 0);
  for (size_t i = 0; i < length; ++i) k.material.push_back(static_cast<uint8_t>(0xA0 + index * 16 + i));
  return k;
}

// An enterprise record: WPA2/AES with 802.1X and the given method.
inline StationProfile Enterprise(uint32_t method, uint32_t inner = 0) {
  StationProfile r = Record("corp-net", 1, kAuthWpa2, kCipherAes);
  r.use8021X = 1;
  r.authenProtocol = method;
  r.tunnelProtocol = inner;
  r.identity = "outer@example.org";
  r.password = "outer pw";
  r.tunnelIdentity = "inner-user";
  r.tunnelPassword = "inner<pw>&'\"";
  r.serverName = "radius.example.org";
  r.serverCertData = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0x00, 0x11,
                      0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB};
  r.clientCertData = {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10, 0x0F, 0x1E,
                      0x2D, 0x3C, 0x4B, 0x5A, 0x69, 0x78, 0x87, 0x96, 0xA5, 0xB4};
  r.useServerCert = 1;
  r.passwordMode = 1;
  return r;
}

// ---- schema validation with xmllint ----

struct Validation {
  bool ran = false;          // xmllint could be run
  std::string output;        // what it said
  std::map<std::string, bool> valid;  // per document name
};

// Validates every document in one xmllint run against the published schemas.
inline Validation ValidateWithSchema(const std::map<std::string, std::string>& documents) {
  Validation result;
  TempDir dir;
  std::string command = "xmllint --noout --schema '" + PublishedSchemaWrapper().string() + "'";
  std::map<std::string, std::string> fileToName;
  int n = 0;
  for (const auto& [name, xml] : documents) {
    std::string file = dir.file("doc" + std::to_string(n++) + ".xml");
    WriteFileBytes(file, xml);
    fileToName[file] = name;
    command += " '" + file + "'";
  }
  command += " 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return result;
  char buffer[4096];
  while (fgets(buffer, sizeof buffer, pipe.get())) result.output += buffer;
  result.ran = true;
  for (const auto& [file, name] : fileToName) {
    result.valid[name] = result.output.find(file + " validates") != std::string::npos;
  }
  return result;
}


// ---- doubles ----

class RecordingRegistryWriter final : public RegistryWriter {
 public:
  struct Value {
    uint32_t type;
    std::string data;
  };
  uint32_t SetValue(HKEY hive, const std::string& keyPath, const std::string& name, uint32_t type,
                    std::string_view data) override {
    EXPECT_EQ(hive, HKEY_CLASSES_ROOT);
    if (created.count(keyPath) == 0) return 2;  // the key must have been created first
    values[keyPath + "|" + name] = {type, std::string(data)};
    return 0;
  }
  uint32_t CreateKey(HKEY, const std::string& keyPath) override {
    created.insert({keyPath, true});
    return 0;
  }
  uint32_t DeleteValue(HKEY, const std::string&, const std::string&) override { return 0; }
  uint32_t DeleteKey(HKEY, const std::string&, const std::string&) override { return 0; }
  uint32_t DeleteKeyTree(HKEY, const std::string&, const std::string&) override { return 0; }

  std::map<std::string, bool> created;
  std::map<std::string, Value> values;
};

class FakeCertificateManager final : public CertificateManager {
 public:
  std::optional<WapiPskMaterial> InstallPsk(int form, std::string_view psk) override {
    pskCalls.push_back({form, std::string(psk)});
    return WapiPskMaterial{{0x0A, 0x1B, 0x2C}, {0xF0, 0x0F}};
  }
  std::optional<WapiCertMaterial> InstallCert(std::string_view user, std::string_view as) override {
    certCalls.push_back({std::string(user), std::string(as)});
    return WapiCertMaterial{{0xCE, 0x27}, {0x3A}};
  }
  std::vector<std::pair<int, std::string>> pskCalls;
  std::vector<std::pair<std::string, std::string>> certCalls;
};

// ---- parsing ----

// The concatenated text of an element's character and CDATA children.
inline std::string ElementText(const pugi::xml_node& node) {
  std::string text;
  for (pugi::xml_node child : node.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) text += child.value();
  }
  return text;
}

inline bool WellFormed(const std::string& xml, pugi::xml_document& doc) {
  return doc.load_string(xml.c_str(), pugi::parse_default | pugi::parse_declaration);
}

}  // namespace ov::test
