// LoadActiveProfile from a store of 1000 profiles (the selected profile's own section, a WPA2
// enterprise profile), against the literal way of reading it: the file re-opened and re-parsed
// for every value, each value followed by its section's "SSID_inHex" as the store's read does.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ini/ini_file_store.h"
#include "profiles/load_active_profile.h"
#include "profiles/ov_encrypt_codec.h"
#include "profiles/profile_store.h"
#include "profiles/store_encoding.h"

namespace {

constexpr const char* kId = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";

std::string Folder() {
  static const std::string folder = [] {
    auto dir = std::filesystem::temp_directory_path() /
               ("ovui-bench-store-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::atexit([] { std::filesystem::remove_all(Folder()); });
    return dir.string() + "/";
  }();
  return folder;
}

// 1000 profiles with every key of a section, written as the store writes them.
ov::ProfileStore& Store() {
  static ov::ProfileStore store = [] {
    ov::ProfileStore s({Folder(), 6, kId});
    std::ofstream out(s.FileName(ov::StoreFileKind::Profiles), std::ios::binary);
    for (int p = 0; p < 1000; ++p) {
      out << "[Profile" << p << "]\r\n";
      for (std::string_view key : ov::ProfileKeyList) {
        std::string value = "1";
        if (key == "SSID") value = ov::HexLower("network-" + std::to_string(p));
        if (key == "AuthMode" || key == "CipherMode") value = "6";
        if (key == "TunnelProtocol") value = "26";
        if (key == "AuthenProtocol" || key == "EapConfigBlobLen") value = "0";
        if (key == "ID" || key == "TunnelID") value = "user" + std::to_string(p) + "@example.org";
        if (key == "Password" || key == "TunnelPassword") value = "password " + std::to_string(p);
        if (key == "ServerName") value = "radius.example.org";
        if (key == "ClientCertLen" || key == "ServerCertLen") value = "20";
        if (key == "ClientCertData" || key == "ServerCertData") value = std::string(40, 'a');
        if (key == "EapConfigBlob") continue;
        out << key << "=" << value << "\r\n";
      }
    }
    return s;
  }();
  return store;
}

ov::ActiveProfileContext Context() {
  ov::ActiveProfileContext c;
  c.selectedProfileName = "Profile731";
  c.wpaReady = true;
  c.ndisVersion = 0x0600;
  return c;
}

void LoadActiveProfileCached(benchmark::State& state) {
  ov::ProfileStore& store = Store();
  ov::ActiveProfileContext context = Context();
  for (auto _ : state) {
    ov::StationProfile record;
    ov::LoadActiveProfile(store, context, record);
    benchmark::DoNotOptimize(record.loaded);
  }
}
BENCHMARK(LoadActiveProfileCached)->Unit(benchmark::kMicrosecond);

// The same with the password-encryption library loaded for every secret, as the store does.
void LoadActiveProfileWithEncryptionLibrary(benchmark::State& state) {
  ov::OvEncryptSecretCodec codec;
  ov::ProfileStore store(Store().location(), &codec);
  ov::ActiveProfileContext context = Context();
  for (auto _ : state) {
    ov::StationProfile record;
    ov::LoadActiveProfile(store, context, record);
    benchmark::DoNotOptimize(record.loaded);
  }
}
BENCHMARK(LoadActiveProfileWithEncryptionLibrary)->Unit(benchmark::kMicrosecond);

// The keys the load reads for this profile, in its order.
constexpr const char* kLoadedKeys[] = {
    "SSID", "NetworkType", "PreambleType", "UseRts", "RtsThresh", "UseFrag", "FragThresh",
    "AuthMode", "CipherMode", "LeapEnabled", "LeapUserName", "LeapPassword", "Use8021X",
    "AuthenProtocol", "TunnelProtocol", "ProvisioningTunnel", "ID", "Password", "TunnelID",
    "TunnelPassword", "SessionResumption", "PasswordMode", "TunnelPassword", "UseClientCert",
    "UseSmartCard", "ClientCertLen", "ClientCertData", "UseServerCert", "ServerCertLen",
    "ServerCertData", "UsePAC", "ProvisionMode", "PACFilePath", "ServerName", "NameRule",
    "IntermediateCert", "TXPower", "ProfilePSMode", "ACPowerCam", "EapConfigBlobLen",
    "SSOInfoInProf", "UseDiagnostic", "DiagnosticSSID"};

void LoadActiveProfileLiteral(benchmark::State& state) {
  ov::ProfileStore& store = Store();
  std::string file = store.FileName(ov::StoreFileKind::Profiles);
  for (auto _ : state) {
    for (const char* key : kLoadedKeys) {
      ov::ini_detail::FlushCache();
      benchmark::DoNotOptimize(store.ReadStoreValue(ov::StoreFileKind::Profiles, "Profile731", key));
      ov::ini_detail::FlushCache();
      benchmark::DoNotOptimize(
          store.ReadStoreValue(ov::StoreFileKind::Profiles, "Profile731", "SSID_inHex"));
    }
  }
  state.counters["file_parses_per_load"] = 2.0 * std::size(kLoadedKeys);
}
BENCHMARK(LoadActiveProfileLiteral)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
