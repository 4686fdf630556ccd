#pragma once
#include <cstdint>
#include <string_view>

// The request code belongs to the device protocol and the set mark to the channel; they come in
// with their owners' headers so that a catalogue user has every number through this one.
#include "driver/oid_requester.h"               // OidSetMask
#include "platform/deviceio/device_protocol.h"  // IOCTL_NDIS_QUERY_GLOBAL_STATS

// Every object identifier the utility sends to the adapter's driver, with the request code that
// carries them and the link-status codes of the extra-info request.
//
// Published NDIS and native-wireless OIDs carry one value for both directions: the set path of
// the channel marks it. Vendor OIDs have a query value and a separate set value (the query value
// OR 0x00800000, except where the driver chose otherwise); they are given as a pair, with 0 for
// a direction the driver does not offer.
namespace ov {

// The control code of every request, set or query alike.
static_assert(IOCTL_NDIS_QUERY_GLOBAL_STATS == 0x00170002);

// OR-ed into the OID of every set by the channel; the driver strips it and applies the set.
static_assert(OidSetMask == 0xFF800000);

// Marks a vendor value as a set value.
constexpr uint32_t kVendorSetBit = 0x00800000;

// ---- Published NDIS general and 802.11 OIDs ----
constexpr uint32_t OID_GEN_DRIVER_VERSION = 0x00010110;     // query, 2: NDIS version, major high
constexpr uint32_t OID_GEN_RCV_NO_BUFFER = 0x00020105;      // query, 4
constexpr uint32_t OID_802_3_CURRENT_ADDRESS = 0x01010102;  // query, 6
constexpr uint32_t OID_802_11_SSID = 0x0D010102;            // query and set, 36
constexpr uint32_t OID_802_11_DISASSOCIATE = 0x0D010115;    // set, 0
constexpr uint32_t OID_802_11_DESIRED_RATES = 0x0D010210;   // set, 8

// ---- Published native 802.11 OIDs ----
constexpr uint32_t OID_DOT11_RTS_THRESHOLD = 0x0D01031F;            // set, 4
constexpr uint32_t OID_DOT11_FRAGMENTATION_THRESHOLD = 0x0D010322;  // set, 4
constexpr uint32_t OID_DOT11_SUPPORTED_PHY_TYPES = 0x0D010326;      // query, 264
constexpr uint32_t OID_DOT11_CURRENT_ADDRESS = 0x0D010702;          // query, 6
constexpr uint32_t OID_DOT11_FLUSH_BSS_LIST = 0x0E01017A;           // set, 0
constexpr uint32_t OID_DOT11_POWER_MGMT_REQUEST = 0x0E01017B;       // set, 4
constexpr uint32_t OID_DOT11_DESIRED_BSSID_LIST = 0x0E01017E;       // set, 20
constexpr uint32_t OID_DOT11_DISCONNECT_REQUEST = 0x0E01018E;       // set, 0

// ---- Vendor OIDs ----
struct VendorOid {
  uint32_t query;  // 0: the driver offers no query
  uint32_t set;    // 0: the driver offers no set
};

constexpr VendorOid OID_VND_PHY_MODE{0, 0xFF8C0002};
constexpr VendorOid OID_VND_COUNTRY_REGION{0xFF0C0003, 0xFF8C0003};
constexpr VendorOid OID_VND_EEPROM_VERSION{0xFF0C0004, 0};
constexpr VendorOid OID_VND_FIRMWARE_VERSION{0xFF0C0005, 0};
constexpr VendorOid OID_VND_TX_POWER{0xFF0C0007, 0xFF8C0007};
constexpr VendorOid OID_VND_REGISTER{0xFF0C0008, 0xFF8C0008};
constexpr VendorOid OID_VND_LINK_STATUS{0xFF0C0009, 0};
constexpr VendorOid OID_VND_NOISE{0xFF0C000A, 0};
constexpr VendorOid OID_VND_DRIVER_STATISTICS{0xFF0C000B, 0};
constexpr VendorOid OID_VND_RESET_COUNTERS{0, 0xFF8C000C};
constexpr VendorOid OID_VND_EXTRA_INFO{0xFF0C000D, 0};
constexpr VendorOid OID_VND_LAST_RX_RATE{0xFF0C000E, 0};
constexpr VendorOid OID_VND_RSSI0{0xFF0C000F, 0};
constexpr VendorOid OID_VND_RSSI1{0xFF0C0010, 0};
constexpr VendorOid OID_VND_OP_MODE{0xFF0C001A, 0xFF8C001A};
constexpr VendorOid OID_VND_LAST_TX_RATE{0xFF0C0021, 0};
constexpr VendorOid OID_VND_RSSI2{0xFF0C0022, 0};
constexpr VendorOid OID_VND_SNR0{0xFF0C0023, 0};
constexpr VendorOid OID_VND_SNR1{0xFF0C0024, 0};
constexpr VendorOid OID_VND_BA_TABLE{0xFF0C0025, 0xFF8C0025};  // query: table; set: add a session
constexpr VendorOid OID_VND_HT_OPTIONS{0xFF0C0026, 0xFF8C0026};
constexpr VendorOid OID_VND_DELETE_BA{0, 0xFF8C0027};
constexpr VendorOid OID_VND_HT_PHY_MODE{0xFF0C0028, 0xFF8C0028};
constexpr VendorOid OID_VND_PEER_TABLE{0xFF0C0029, 0};
constexpr VendorOid OID_VND_WPS_START{0, 0xFF8C002A};
constexpr VendorOid OID_VND_WPS_ASSOC_IE{0, 0xFF8C002B};
constexpr VendorOid OID_VND_WPS_PROBE_IE{0, 0xFF8C002C};
constexpr VendorOid OID_VND_WPS_STATUS{0xFF0C002D, 0};
// The driver takes the table under a set value of its own, not the query value with the set bit.
constexpr VendorOid OID_VND_WPS_PROFILE_TABLE{0xFF0C002E, 0xFF8C0049};
constexpr VendorOid OID_VND_WPS_PBC_STARTED{0xFF0C002F, 0};
constexpr VendorOid OID_VND_CONNECT_FLAG{0, 0xFF8C0030};
constexpr VendorOid OID_VND_CONFIGURATION{0xFF0C003B, 0xFF8C003B};
constexpr VendorOid OID_VND_WPS_AUTO_SELECT{0, 0xFF8C004C};
constexpr VendorOid OID_VND_PREAMBLE{0, 0xFFF10101};
constexpr VendorOid OID_VND_STA_CONFIG{0xFF710111, 0xFFF10111};
constexpr VendorOid OID_VND_CCX_CONTROL{0, 0xFFF1011E};
constexpr VendorOid OID_VND_AP_IP_ADDRESS{0xFF71011F, 0};
constexpr VendorOid OID_VND_WMM_FLAGS{0xFF71012A, 0xFFF1012A};
constexpr VendorOid OID_VND_WMM_BYTE_SWITCH{0, 0xFFF1012D};
constexpr VendorOid OID_VND_DLS_ENABLE{0, 0xFFF10131};
constexpr VendorOid OID_VND_DLS_TABLE{0xFF710132, 0xFFF10132};
constexpr VendorOid OID_VND_WPS_WIRELESS_MODE{0, 0xFFF10151};
constexpr VendorOid OID_VND_WPS_CHANNEL{0xFF710152, 0};
constexpr VendorOid OID_VND_CCX_TSPEC{0xFF710153, 0xFFF10153};
constexpr VendorOid OID_VND_CCX_DIAG{0, 0xFFF10162};
constexpr VendorOid OID_VND_NIC_READY{0xFF710181, 0};

// ---- Link status codes of OID_VND_EXTRA_INFO ----
enum ExtraInfoCode : uint32_t {
  EXTRA_INFO_LINK_UP = 0,
  EXTRA_INFO_LINK_DOWN = 1,
  EXTRA_INFO_HW_RADIO_OFF = 2,
  EXTRA_INFO_SW_RADIO_OFF = 3,
  EXTRA_INFO_OPEN_AUTH_FAIL = 4,
  EXTRA_INFO_SHARED_AUTH_FAIL = 5,
  EXTRA_INFO_ASSOC_FAILED = 6,
  EXTRA_INFO_DEAUTH_MIC_FAILURE = 7,
  EXTRA_INFO_DEAUTH_4WAY_TIMEOUT = 8,
  EXTRA_INFO_DEAUTH_GROUP_KEY_TIMEOUT = 9,
  EXTRA_INFO_EAP_SUCCEED = 10,
};
constexpr uint32_t kExtraInfoCodeCount = 11;

// The string resource of code c is this plus c.
constexpr uint32_t kExtraInfoStringBase = 297;

// The fixed text of a link status code; "" for a code above 10 (the pages then show nothing).
std::string_view ExtraInfoText(uint32_t code);

}  // namespace ov
