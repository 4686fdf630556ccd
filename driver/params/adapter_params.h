#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "driver/chip_family.h"
#include "driver/oid/radio_records.h"
#include "driver/params/registry_writer.h"
#include "driver/wireless_mode.h"

// The values the adapter's driver reads from its key (the adapter key of AdapterInfo, under the
// local machine), with their encodings and defaults. Reads open the key for reading directly;
// writes go through a RegistryWriter. A failed read or write is never shown: the caller keeps its
// default and a debug trace line records it ("RegQueryValueEx 'REGSTR_RADIO' failed\n").
namespace ov {

enum class ParamEncoding {
  Decimal,      // string holding a decimal number, written as its decimal text
  Dword,        // 32-bit little-endian number
  RawWord,      // 4 raw bytes, whatever the stored type
  Text,         // string
  MultiString,  // list of strings
};

struct AdapterParam {
  const char* name;       // value name, exactly as the driver reads it
  ParamEncoding encoding;
  const char* traceName;  // the name trace lines use
  int32_t defaultValue;   // what an absent number reads as, where the table gives a fixed one
};

namespace param {
inline constexpr AdapterParam kNetCfgInstanceId{"NetCfgInstanceId", ParamEncoding::Text,
                                                "REGSTR_NET_CFG_INSTANCE_ID", 0};
// Absent: the process keeps its previous wireless mode (5 at start).
inline constexpr AdapterParam kWirelessMode{"WirelessMode", ParamEncoding::Decimal,
                                            "REGSTR_WIRELESS_MODE", 5};
// Absent: the driver's country-region word.
inline constexpr AdapterParam kCountryRegion{"CountryRegion", ParamEncoding::Decimal,
                                             "REGSTR_COUNTRY_REGION", 0};
inline constexpr AdapterParam kCountryRegionABand{"CountryRegionABand", ParamEncoding::Decimal,
                                                  "REGSTR_COUNTRY_REGION_A_BAND", 0};
// Absent: 802.11n allowed, the 5 GHz band decided by the PHY types alone.
inline constexpr AdapterParam kCountryWirelessMode{"CountryWirelessMode", ParamEncoding::RawWord,
                                                   "REGSTR_COUNTRY_WIRELESS_MODE", 0};
// Absent or not allowed: replaced by the first allowed channel (channel_plan.h).
inline constexpr AdapterParam kChannel{"Channel", ParamEncoding::Decimal, "REGSTR_CHANNEL", 0};
// Absent: on for the families that burst by default, else off.
inline constexpr AdapterParam kTxBurst{"TXBurst", ParamEncoding::Decimal, "REGSTR_TX_BURST", 0};
inline constexpr AdapterParam kTurboRate{"TurboRate", ParamEncoding::Decimal, "REGSTR_TURBO_RATE",
                                         0};
inline constexpr AdapterParam kShortSlot{"ShortSlot", ParamEncoding::Decimal, "REGSTR_SHORT_SLOT",
                                         0};
inline constexpr AdapterParam kBgProtection{"BGProtection", ParamEncoding::Decimal,
                                            "REGSTR_BG_PROTECTION", 0};
inline constexpr AdapterParam kAdhocOfdm{"AdhocOfdm", ParamEncoding::Decimal, "REGSTR_ADHOC_MODE",
                                         0};
// Negative values read as 0.
inline constexpr AdapterParam kTransRate{"TransRate", ParamEncoding::Decimal, "REGSTR_TRANS_RATE",
                                         0};
// Absent: the driver's HT PHY mode record.
inline constexpr AdapterParam kTransmitSetting{"TransmitSetting", ParamEncoding::Dword,
                                               "REGSTR_TRANSMIT_SETTING", 0};
inline constexpr AdapterParam kShowAuthStatus{"ShowAuthStatus", ParamEncoding::Decimal,
                                              "REGSTR_SHOW_AUTH_STATUS", 0};
// Absent: the CCX control set is not sent.
inline constexpr AdapterParam kCcx2Control{"CCX2Control", ParamEncoding::Dword,
                                           "REGSTR_CCX2_CONTROL", 0};
// 0 = radio on, 1 = radio off; absent: on.
inline constexpr AdapterParam kRadio{"Radio", ParamEncoding::Decimal, "REGSTR_RADIO", 0};
// 0 = station, 1 = access point.
inline constexpr AdapterParam kOpMode{"OpMode", ParamEncoding::Decimal, "REGSTR_OP_MODE", 0};
inline constexpr AdapterParam kPsMode{"PSMode", ParamEncoding::Decimal, "REGSTR_PS_MODE", 0};
// 1 = 802.11h enabled; absent: disabled.
inline constexpr AdapterParam kIeee80211h{"IEEE80211H", ParamEncoding::Decimal,
                                          "REGSTR_IEEE80211H", 0};
inline constexpr AdapterParam kWmmCapable{"WMMCapable", ParamEncoding::Decimal,
                                          "REGSTR_WMM_CAPABLE", 0};
inline constexpr AdapterParam kApsdCapable{"APSDCapable", ParamEncoding::Decimal,
                                           "REGSTR_APSD_CAPABLE", 0};
inline constexpr AdapterParam kDlsCapable{"DLSCapable", ParamEncoding::Decimal,
                                          "REGSTR_DLS_CAPABLE", 0};
inline constexpr AdapterParam kApsdAcBe{"APSDAC_BE", ParamEncoding::Decimal, "REGSTR_APSDAC_BE",
                                        0};
inline constexpr AdapterParam kApsdAcBk{"APSDAC_BK", ParamEncoding::Decimal, "REGSTR_APSDAC_BK",
                                        0};
inline constexpr AdapterParam kApsdAcVi{"APSDAC_VI", ParamEncoding::Decimal, "REGSTR_APSDAC_VI",
                                        0};
inline constexpr AdapterParam kApsdAcVo{"APSDAC_VO", ParamEncoding::Decimal, "REGSTR_APSDAC_VO",
                                        0};
inline constexpr AdapterParam kWmmMacAddr{"WMMMacAddr", ParamEncoding::Text, "REGSTR_WMM_MAC_ADDR",
                                          0};
inline constexpr AdapterParam kBaCapability{"BACapability", ParamEncoding::Dword, "REGSTR_BA_CAP",
                                            0};
inline constexpr AdapterParam kDriverDesc{"DriverDesc", ParamEncoding::Text, "REGSTR_DRIVER_DESC",
                                          0};
}  // namespace param

// Every value above, in the order listed.
std::span<const AdapterParam> AdapterParams();

// The subkeys of the adapter key that hold saved parameter sets.
constexpr const char* kDefaultSubKey = "Default";
constexpr const char* kApDefaultSubKey = "ApDefault";
// "<adapter key>\<subkey>".
std::string SubKeyPath(const std::string& adapterKeyPath, std::string_view subKey);

// ---- Encodings (pure) ----

// The driver's decimal conversion: leading blanks, an optional sign, digits up to the first
// other character; no digits read as 0. Values beyond 32 bits are clamped.
int32_t ParseDecimal(std::string_view text);
// Decimal string values: a string (REG_SZ, REG_EXPAND_SZ) converted as above, or a 4-byte
// REG_DWORD taken as its number. Any other type is unreadable.
std::optional<int32_t> DecodeDecimalValue(uint32_t type, std::string_view data);
// DWORD and raw-word values: exactly 4 bytes, little-endian. Shorter or longer data is unreadable
// rather than half a word.
std::optional<uint32_t> DecodeWordValue(std::string_view data);
std::string EncodeWordValue(uint32_t word);

// ---- Reads (HKEY_LOCAL_MACHINE\<adapterKeyPath>, opened for reading) ----
// Each unreadable value traces "RegQueryValueEx '<traceName>' failed\n"; a key that does not
// open traces "RegOpenKeyEx '<path>' failed\n".

std::optional<int32_t> ReadDecimalParam(const std::string& keyPath, const AdapterParam& param);
// The table's fixed default when unreadable.
int32_t ReadDecimalParamOr(const std::string& keyPath, const AdapterParam& param);
std::optional<uint32_t> ReadWordParam(const std::string& keyPath, const AdapterParam& param);
std::optional<std::string> ReadTextParam(const std::string& keyPath, const AdapterParam& param);

// "Radio": only "1" switches the radio off; absent means on.
bool ReadRadioOn(const std::string& keyPath);
// "TXBurst", with the family's default when absent.
int32_t ReadTxBurst(const std::string& keyPath, int32_t chipFamily);
// "TransRate", negative values as 0.
int32_t ReadTransRate(const std::string& keyPath);
std::optional<uint32_t> ReadCountryWirelessMode(const std::string& keyPath);
std::optional<uint32_t> ReadTransmitSetting(const std::string& keyPath);

// "WirelessMode", normalised; `previous` when unreadable.
WirelessMode ReadWirelessMode(const std::string& keyPath, WirelessMode previous,
                              bool aBandCapable, bool htCapable);

// The two region codes (bits 0-6 each): the registry's "CountryRegion" and
// "CountryRegionABand", each falling back to its byte of the driver's region word.
struct CountryRegionCodes {
  uint32_t region24 = 0;
  uint32_t region5 = 0;
  bool operator==(const CountryRegionCodes&) const = default;
};
CountryRegionCodes ReadCountryRegions(const std::string& keyPath, uint32_t driverRegionWord);

// ---- Writes (through the writer; a failure traces "RegSetValueEx <traceName> '<text>' failed\n")

// Decimal text with its terminating NUL, as REG_SZ.
uint32_t WriteDecimalParam(RegistryWriter& writer, const std::string& keyPath,
                           const AdapterParam& param, int32_t value);
uint32_t WriteWordParam(RegistryWriter& writer, const std::string& keyPath,
                        const AdapterParam& param, uint32_t word);
uint32_t WriteTextParam(RegistryWriter& writer, const std::string& keyPath,
                        const AdapterParam& param, std::string_view text);

// ---- WirelessMode normalisation (pure) ----
// 0 stays; 2 and 3 need the 5 GHz band (else 0); 5 and 8 stay with both 5 GHz and 802.11n, and
// without 802.11n become 9 and 2 on a 5 GHz adapter; everything else, and 5 or 8 without the
// 5 GHz band, becomes 9 on an 802.11n adapter and 0 otherwise.
WirelessMode NormaliseWirelessMode(WirelessMode mode, bool aBandCapable, bool htCapable);

// ---- "TransmitSetting" ----
// The registry form of the HT PHY mode record: the fields this system manages and the value of
// the record's byte 6, packed as EncodeTransmitSetting of the OID catalogue packs them.
uint32_t WriteTransmitSetting(RegistryWriter& writer, const std::string& keyPath,
                              const HtPhySettings& settings, uint8_t byte6);

}  // namespace ov
