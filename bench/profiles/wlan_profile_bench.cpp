// BuildWlanProfile for a WPA2-PSK profile and a WPA2 enterprise profile with PEAP (MS-CHAP v2).
#include <benchmark/benchmark.h>

#include "nativewifi/wlan_profile_xml.h"

namespace {

ov::StationProfile Psk() {
  ov::StationProfile r;
  r.ssid = ov::MakeNdisSsid("home network");
  r.networkType = 1;
  r.authMode = ov::kAuthWpa2Psk;
  r.cipherMode = ov::kCipherAes;
  r.psk = "correct horse battery staple";
  return r;
}

ov::StationProfile Peap() {
  ov::StationProfile r;
  r.ssid = ov::MakeNdisSsid("corp network");
  r.networkType = 1;
  r.authMode = ov::kAuthWpa2;
  r.cipherMode = ov::kCipherAes;
  r.use8021X = 1;
  r.authenProtocol = ov::kEapPeap;
  r.tunnelProtocol = ov::kInnerMsChapV2;
  r.identity = "alice@example.org";
  r.tunnelIdentity = "alice";
  r.tunnelPassword = "a password with spaces";
  r.useServerCert = 1;
  r.serverName = "radius.example.org";
  r.serverCertData.assign(20, 0xAB);
  r.ssoFlags = 1;
  return r;
}

void BuildWpa2Psk(benchmark::State& state) {
  ov::StationProfile r = Psk();
  for (auto _ : state) benchmark::DoNotOptimize(ov::BuildWlanProfile(r, {}));
}
BENCHMARK(BuildWpa2Psk)->Unit(benchmark::kMicrosecond);

void BuildPeapMsChapV2(benchmark::State& state) {
  ov::StationProfile r = Peap();
  for (auto _ : state) benchmark::DoNotOptimize(ov::BuildWlanProfile(r, {}));
}
BENCHMARK(BuildPeapMsChapV2)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
