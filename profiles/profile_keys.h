#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The profile store's vocabulary: its file kinds and names, the keys of a profile section in
// their fixed order, and the keys whose values are secrets.
namespace ov {

enum class StoreFileKind : int {
  Station = 0,       // "_sta": section "Config" is the active configuration
  AccessPoint = 1,   // "_ap": not used by the station parts
  Profiles = 2,      // "_prof": one section per stored profile
  Wps = 3,           // "_wsc": the WPS credential store
  StationBlob = 4,   // "_STAconfigBlob": EAP blob record of the active configuration
  ProfilesBlob = 5,  // "_PROFconfigBlob": EAP blob records of the stored profiles
};

// "WXP1PCI_" ... "WXP5_"; nothing for a value that is no chip family.
std::optional<std::string_view> StoreFilePrefix(int32_t chipFamily);
std::string_view StoreFileSuffix(StoreFileKind kind);

// Where one adapter's store lives. dataDir is used as a plain text prefix and normally ends in
// the path separator.
struct StoreLocation {
  std::string dataDir;
  int32_t chipFamily = -1;
  std::string netCfgInstanceId;  // "{GUID}", braces included
};

// dataDir + family prefix + NetCfgInstanceId + kind suffix. Empty when the family is unknown or
// the identifier is empty or could name a file outside the data folder (a separator, "..", a NUL).
std::string StoreFileName(const StoreLocation& location, StoreFileKind kind);

// Section names of the station file and the keys found only there.
inline constexpr std::string_view kActiveSection = "Config";
inline constexpr std::string_view kCurProfileKey = "CurProfile";
inline constexpr std::string_view kWscKey = "WSC";

inline constexpr std::string_view kSsidKey = "SSID";
inline constexpr std::string_view kSsidInHexKey = "SSID_inHex";
inline constexpr std::string_view kDiagnosticSsidKey = "DiagnosticSSID";
inline constexpr std::string_view kEapConfigBlobKey = "EapConfigBlob";
inline constexpr std::string_view kEapConfigBlobLenKey = "EapConfigBlobLen";
inline constexpr std::string_view kActiveTimeKey = "ActiveTime";
inline constexpr std::string_view kAuthModeKey = "AuthMode";
inline constexpr std::string_view kCipherModeKey = "CipherMode";
// Extra keys of an export file, copies of "AuthMode" and "CipherMode" for other readers.
inline constexpr std::string_view kAuthenTypeKey = "AuthenType";
inline constexpr std::string_view kEncryptionKey = "Encryption";
// Name suffix of the blob record inside an export file.
inline constexpr std::string_view kExportBlobSuffix = "_ConfigBlob";

// The 63 keys of a profile section, in the order of copies and clears.
inline constexpr std::array<std::string_view, 63> ProfileKeyList = {
    "ACPowerCam",       "AuthenProtocol",  "AuthMode",        "Channel",
    "ClientCertData",   "ClientCertLen",   "CipherMode",      "FragThresh",
    "ID",               "IntermediateCert", "LeapEnabled",    "LeapEncryType",
    "LeapPassword",     "LeapUserName",    "LeapDomainName",  "NameRule",
    "NetworkType",      "Password",        "PasswordMode",    "PreambleType",
    "ProvisioningTunnel", "ProvisionMode", "PSMode",          "ProfilePSMode",
    "RtsThresh",        "ServerCertData",  "ServerCertLen",   "ServerName",
    "SessionResumption", "SSID",           "TunnelID",        "TunnelPassword",
    "TunnelProtocol",   "DomainName",      "TXPower",         "Use8021X",
    "UseClientCert",    "UseFrag",         "UsePAC",          "UseRts",
    "UseServerCert",    "WEPKey1",         "WEPKey1Type",     "WEPKey2",
    "WEPKey2Type",      "WEPKey3",         "WEPKey3Type",     "WEPKey4",
    "WEPKey4Type",      "WEPKeyUse",       "WPAPSK",          "ActiveTime",
    "PACFilePath",      "SSID_inHex",      "UseSmartCard",    "UserCertPath",
    "ASCertPath",       "WAPIPSK_KEYTYPE", "EapConfigBlob",   "EapConfigBlobLen",
    "SSOInfoInProf",    "UseDiagnostic",   "DiagnosticSSID",
};

// The keys whose non-empty values pass through the password-encryption library.
inline constexpr std::array<std::string_view, 11> EncryptedKeyList = {
    "ID",      "LeapPassword", "LeapUserName", "Password", "TunnelID", "TunnelPassword",
    "WEPKey1", "WEPKey2",      "WEPKey3",      "WEPKey4",  "WPAPSK",
};

// Key names are matched without regard to ASCII case, as the INI files match them.
bool IsEncryptedKey(std::string_view key);
bool IsProfileKey(std::string_view key);
bool SameKey(std::string_view a, std::string_view b);

// The longest value (in bytes, as read back: SSIDs decoded, secrets decrypted) that fits the
// field the key is loaded into; 255, the store's read buffer, for every other key. Import refuses
// longer values instead of cutting them.
size_t ProfileValueLimit(std::string_view key);

// The longest profile name (a section name of the profiles file).
constexpr size_t kProfileNameMaxLength = 32;

}  // namespace ov
