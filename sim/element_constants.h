#pragma once
#include <cstdint>

#include "views/information_elements.h"

// The element ids, suite selectors and WPS attribute types the simulated access points send.
// Those the scan-list decoder reads live in views/information_elements.h and are used from
// there; this header adds only what a beacon carries and the decoder does not read.
namespace ov::sim::ie {

using namespace ov::ie;

// ---- Element IDs (IEEE 802.11-2012 clause 8.4.2) ----
constexpr uint8_t kIbssParameterSet = 6;  // 8.4.2.8 IBSS Parameter Set element (ATIM window)
// 133 is assigned to Cisco for its CCX1 element (CKIP negotiation and the AP's device name).
constexpr uint8_t kCiscoCcx1CkipDeviceName = 133;

// ---- Vendor-specific element types ----
constexpr uint8_t kCiscoCcxVersion = 0x03;  // under kOuiCisco: one octet, the CCX version
constexpr uint8_t kWmmInformationSubtype = 0x00;
constexpr uint8_t kWmmParameterSubtype = 0x01;
constexpr uint8_t kWmmVersion = 0x01;

// AKM suite type of CCKM under the Cisco OUI.
constexpr uint8_t kCiscoAkmCckm = 0x00;

// Layout of the CCX1 element body: 10 octets of CKIP fields, the device name in 16 octets
// (NUL-padded), the count of associated clients, 3 reserved octets.
constexpr uint8_t kCcx1Length = 30;
constexpr uint8_t kCcx1DeviceNameOffset = 10;
constexpr uint8_t kCcx1DeviceNameSize = 16;

// ---- Wi-Fi Simple Configuration attribute types (clause 12) not in the decoder's list ----
namespace wps_more {
constexpr uint16_t kDeviceName = 0x1011;
constexpr uint16_t kManufacturer = 0x1021;
constexpr uint16_t kModelName = 0x1023;
constexpr uint16_t kModelNumber = 0x1024;
constexpr uint16_t kResponseType = 0x103B;
constexpr uint16_t kSerialNumber = 0x1042;
constexpr uint16_t kPrimaryDeviceType = 0x1054;

constexpr uint8_t kVersion10 = 0x10;
constexpr uint8_t kResponseTypeAp = 0x03;
// Device Password ID values.
constexpr uint16_t kPasswordIdDefaultPin = 0x0000;
constexpr uint16_t kPasswordIdPushButton = 0x0004;
// Config Methods bits.
constexpr uint16_t kConfigLabel = 0x0004;
constexpr uint16_t kConfigDisplay = 0x0008;
constexpr uint16_t kConfigPushButton = 0x0080;
constexpr uint16_t kConfigKeypad = 0x0100;
// Primary Device Type: category Network Infrastructure (6), Wi-Fi Alliance OUI, sub-category AP (1).
constexpr uint8_t kPrimaryDeviceTypeAp[8] = {0x00, 0x06, 0x00, 0x50, 0xF2, 0x04, 0x00, 0x01};
}  // namespace wps_more

// ---- RSN capabilities (8.4.2.27.4) ----
constexpr uint16_t kRsnCapPreauth = 0x0001;

// ---- Fixed fields of a beacon or probe response after the 24-octet MAC header ----
constexpr size_t kMacHeaderSize = 24;
constexpr size_t kBeaconFixedSize = 12;  // timestamp (8), beacon interval (2), capability (2)
constexpr uint8_t kFrameControlBeacon = 0x80;         // type management, subtype 8
constexpr uint8_t kFrameControlProbeResponse = 0x50;  // type management, subtype 5

// More Capability Information bits (8.4.1.4).
constexpr uint16_t kCapShortPreamble = 1u << 5;
constexpr uint16_t kCapShortSlotTime = 1u << 10;

}  // namespace ov::sim::ie
