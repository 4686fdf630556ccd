#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "driver/oid/ndis_records.h"
#include "driver/oid/wps_records.h"
#include "wps/wps_store.h"

// Registrar mode: the credential the adapter offers an access point, the config-mode change
// that makes it, and the credential editor's checks and result.
namespace ov {

constexpr int kWpsConfigEnrollee = 0;
constexpr int kWpsConfigRegistrar = 1;

// "ExRegNW" and the adapter MAC's last three bytes, WPA2-PSK/AES, key index 1, and a
// 64-character key of the 32 random bytes as upper-case hex.
WpsCredential MakeRegistrarCredential(const MacAddress& adapterMac,
                                      std::span<const uint8_t, 32> randomBytes);

// A config-mode change: false (nothing touched) when the mode stays. Otherwise the table is
// emptied and, for registrar, holds the new registrar credential. The caller stops the run
// first and saves afterwards.
bool ChangeWpsConfigMode(WpsStoreState& state, int newMode, const MacAddress& adapterMac,
                         std::span<const uint8_t, 32> randomBytes);

// The editor's choices.
enum class RegistrarAuth { Open = 0, WpaPsk = 1, Wpa2Psk = 2 };
struct RegistrarEditorInput {
  std::string ssid;
  RegistrarAuth auth = RegistrarAuth::Wpa2Psk;
  bool wep = false;           // Open: WEP (true) or None
  bool aes = true;            // PSK: AES (true) or TKIP
  int wepKeyLengthChoice = 0; // 0..3: 5, 10, 13, 26 characters
  uint32_t keyIndex = 0;      // WEP key index from its combo
  std::string key;
};

// The WEP key length combo's choices, in its order, and the form of each: 5 and 13 are ASCII
// characters, 10 and 26 hexadecimal digits.
inline constexpr int kRegistrarWepKeyLengths[] = {5, 10, 13, 26};
bool RegistrarWepChoiceIsAscii(int wepKeyLengthChoice);
// "ASCII Format" switched: the choice of the same key size in the other form (5 <-> 10,
// 13 <-> 26).
int RegistrarWepChoiceForFormat(int wepKeyLengthChoice, bool ascii);

// The editor's choices showing `credential` (credential 0). Types the editor has no choice for
// show as WPA2-PSK with AES (the registrar credential's own), a key length that is none of the
// WEP sizes as 5 characters, and a key index past the combo as the first.
RegistrarEditorInput RegistrarInputFromCredential(const WpsCredential& credential);

// The key edit's length limit for these choices (5, 10, 13, 26 or 64); 0 when the edit is
// read-only (Open without WEP) and the key is not checked.
int RegistrarKeyLimit(const RegistrarEditorInput& input);

// The message for a key that does not fit `limit`; none when it fits or `limit` is 0. A key of
// hexadecimal form (limit 10 or 26, or all 64 characters of a pre-shared key) must also be made
// of hexadecimal digits: the access point could not use it otherwise.
std::optional<std::string> CheckRegistrarKey(int limit, std::string_view key);

// Open with None: the editor asks this question first (OK/Cancel).
inline constexpr std::string_view kRegistrarInsecureQuestion = "Your configuration is not secure";
bool RegistrarNeedsInsecureConfirmation(const RegistrarEditorInput& input);

// Credential 0 as the editor writes it over `previous` (whose MAC address is kept).
WpsCredential BuildRegistrarCredential(const RegistrarEditorInput& input,
                                       const WpsCredential& previous);

// The key length a registrar PIN run sends: Open/None credentials carry no key.
void PrepareRegistrarPinCredential(WpsCredential& credential);

}  // namespace ov
