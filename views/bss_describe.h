#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/os_version.h"

// DescribeBss: the decoder of one scan-list entry's information elements into the ";"-separated
// text lists the site survey, the AP detail window and the WPS page show. Decoding and rendering
// are apart so that a caller that wants the values (a test, the command line) need not parse
// text back.
namespace ov {

enum BssDescribeForm : int {
  kBssFormSecurity = 0,  // auth text and cipher text
  kBssFormCcx = 1,       // CCKM, Cmic, Ckip
  kBssFormWps = 2,       // nine fields
  kBssFormHt = 3,        // fifty-five fields
};
constexpr size_t kBssSecurityFieldCount = 2;
constexpr size_t kBssCcxFieldCount = 3;
constexpr size_t kBssWpsFieldCount = 9;
constexpr size_t kBssHtFieldCount = 55;
constexpr size_t kHtMcsSetSize = 16;

// Indexes of the form-2 list.
enum BssWpsField : size_t {
  kWpsConfigMethods = 0,
  kWpsDevicePasswordId,
  kWpsSelectedRegistrar,
  kWpsState,
  kWpsVersion,
  kWpsApSetupLocked,
  kWpsUuidE,
  kWpsRfBands,
  kWpsPresent,
};

// Indexes of the form-3 list that callers look at by name.
enum BssHtField : size_t {
  kHtSecondaryChannelOffset = 0,
  kHtCapabilityPresent = 4,
  kHtSupportedChannelWidthSet = 6,
  kHtShortGi20 = 9,
  kHtShortGi40 = 10,
  kHtPrimaryChannel = 33,
  kHtInformationPresent = 54,
};

// The labels of the form-3 fields, as the 802.11n tab shows them.
extern const std::array<std::string_view, kBssHtFieldCount> kBssHtFieldLabels;
extern const std::array<std::string_view, kBssWpsFieldCount> kBssWpsFieldLabels;

// Everything one walk over the elements found; all zero, false or empty to start with.
struct BssElements {
  // Authentication.
  bool wpa = false, wpaPsk = false, wpaNone = false;
  bool wpa2 = false, wpa2Psk = false, wpa2None = false;
  bool wapiPsk = false, wapiCa = false;
  // Ciphers: AES from a suite of type 3 and of type 4 are kept apart, as the driver's lists are.
  bool tkip = false, aesType3 = false, aesType4 = false, sms4 = false;
  // CCX.
  bool cckm = false, cmic = false, ckip = false;

  // WPS attributes as sent, the last of each kind; empty when absent. A state or band the
  // decoder has no name for shows as Unknown.
  bool wpsPresent = false;
  std::optional<uint16_t> wpsConfigMethods;  // Config Methods or Selected Registrar Config Methods
  std::optional<uint16_t> wpsDevicePasswordId;
  std::string wpsSelectedRegistrar;  // "TRUE"/"FALSE", with any Enrollee Nonce appended in hex
  std::optional<uint8_t> wpsState;
  std::optional<uint8_t> wpsVersion;
  std::optional<bool> wpsApSetupLocked;
  std::optional<std::array<uint8_t, 16>> wpsUuidE;
  std::optional<uint8_t> wpsRfBands;

  // HT.
  int32_t secondaryChannelOffset = 0;
  bool htInformationExchange = false;
  bool mobilityDomain = false;
  bool highThroughput = false;
  bool htCapabilitiesPresent = false;
  uint16_t htCapabilitiesInfo = 0;
  uint8_t ampduParameters = 0;
  std::array<uint8_t, kHtMcsSetSize> supportedMcsSet{};
  bool htInformationPresent = false;
  uint8_t primaryChannel = 0;
  uint8_t htInformationSubset1 = 0;
  uint16_t htInformationSubset2 = 0;
  uint16_t htInformationSubset3 = 0;
  std::array<uint8_t, 16> basicMcsSet{};
};

// Walks the elements of one entry (its bytes from the Length field on; more bytes may follow,
// only the entry's Length is read). The WPA element's preshared-key AKM counts as WPA-PSK on an
// ad hoc network only from version code 11 on; older systems called it WPA-NONE.
BssElements DecodeBssElements(std::span<const uint8_t> entry,
                              OsVersionCode osVersion = kLinuxOsVersionCode);

// One form of the decoded elements; "" for a form that does not exist.
std::string FormatBssForm(const BssElements& elements, int form);

// DescribeBss(entry, form, mcsSet): the text of one form. When `mcsSet` is given it receives the
// Supported MCS Set of the entry's HT Capabilities element, zeros when there is none.
std::string DescribeBss(std::span<const uint8_t> entry, int form,
                        std::array<uint8_t, kHtMcsSetSize>* mcsSet = nullptr,
                        OsVersionCode osVersion = kLinuxOsVersionCode);

// Callers split a form at every ";" into its fields, in order.
std::vector<std::string> SplitBssForm(std::string_view text);

}  // namespace ov
