#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One access point (or ad hoc cell) of the simulated radio world, as the scenario describes it
// (the format is in README.md). Its beacon's information elements are built from these
// settings, or taken from a captured beacon.
namespace ov::sim {

enum class ApSecurity {
  Open,            // no privacy
  WepOpen,         // WEP, open-system authentication
  WepShared,       // WEP, shared-key authentication
  WpaPsk,          // WPA element, PSK, TKIP
  Wpa2Psk,         // RSN element, PSK, CCMP
  WpaWpa2Psk,      // both elements: WPA with TKIP, RSN with CCMP and TKIP
  Wpa2Enterprise,  // RSN element, 802.1X, CCMP
  Cckm,            // WPA element with the CCKM and 802.1X key managements, TKIP
  WapiPsk,         // WAPI element, preshared key, SMS4
  WpaNone,         // ad hoc WPA: WPA element with key management "none", TKIP
  WapiCert,        // WAPI element, certificate authentication by its AS, SMS4
};

enum class ApCipher { Default, Tkip, Ccmp };

std::string_view ApSecurityName(ApSecurity security);
bool IsWep(ApSecurity security);
bool IsPsk(ApSecurity security);
bool IsEnterprise(ApSecurity security);

// An account the network's authentication server accepts.
// PeapGtc takes the static password a CCX PEAP profile carries; PeapTls and Tls the certificate;
// EapFast only an outer identity (the simulated server provisions any station that allows it).
enum class EapMethod { PeapMsChapV2, Tls, Leap, PeapGtc, PeapTls, EapFast };
struct ApUser {
  EapMethod method = EapMethod::PeapMsChapV2;
  std::string identity;
  std::string password;         // PEAP MS-CHAP v2, PEAP GTC and LEAP
  std::string certificateSha1;  // TLS kinds: lower-case hex of the user certificate's hash, or empty
};

enum class WpsMode { Off, Idle, PushButton, Pin };

// A beacon read from a capture: the elements and fixed fields as the air carried them.
struct CapturedBeacon {
  std::array<uint8_t, 6> bssid{};
  uint64_t timestamp = 0;
  uint16_t beaconPeriod = 100;
  uint16_t capability = 0;
  std::vector<uint8_t> elements;
};

struct AccessPointSpec {
  std::string ssid;
  std::array<uint8_t, 6> bssid{};
  uint32_t channel = 1;
  int32_t signalDbm = -60;
  bool hidden = false;
  bool adhoc = false;
  ApSecurity security = ApSecurity::Open;
  ApCipher cipher = ApCipher::Default;  // WPA/WPA2 kinds: overrides the kind's pairwise cipher
  std::string passphrase;               // PSK kinds: 8..63 printable characters, or
  std::vector<uint8_t> psk;             // the 32-byte key itself ("psk_hex")
  std::vector<uint8_t> wepKey;          // 5 or 13 bytes
  uint32_t wepKeyIndex = 0;             // 0..3
  std::vector<ApUser> users;            // enterprise and CCKM kinds
  bool ht = false;
  uint32_t htWidthMhz = 20;  // 20 or 40
  int32_t secondaryChannel = 1;  // for 40 MHz: +1 above, -1 below the primary
  uint32_t spatialStreams = 2;   // 1..3
  bool wmm = true;
  std::optional<uint8_t> ccxVersion;  // CCX elements when set
  std::string deviceName = "Orvane AP";
  uint16_t beaconPeriod = 100;
  WpsMode wps = WpsMode::Off;
  bool wpsConfigured = true;
  bool wpsLocked = false;
  std::string wpsPin;  // the PIN its registrar holds ("pin"); empty: any valid PIN is taken
  std::optional<CapturedBeacon> captured;  // "beacon_pcap": elements come from here
  std::vector<uint8_t> asCertificate;  // wapi-cert: its AS certificate, DER ("as_certificate")
};

// Parses one access point object (JSON text) as the scenario and the control socket give it.
// `baseDir` resolves a relative "beacon_pcap" or "as_certificate". On failure *error says where ("ssid: ...").
bool ParseAccessPointJson(std::string_view json, const std::string& baseDir,
                          AccessPointSpec* spec, std::string* error);

// The frequency of the access point's primary channel in kHz (0 for a channel not in the table).
uint32_t AccessPointFrequencyKHz(const AccessPointSpec& spec);
bool IsAccessPoint5GHz(const AccessPointSpec& spec);

}  // namespace ov::sim
