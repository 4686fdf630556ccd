// The wire protocol of the wireless service: every message survives its round trip, and
// malformed payloads and frames are refused whole.
#include <gtest/gtest.h>

#include <functional>

#include "nativewifi/wlansvc/wlan_protocol.h"

namespace ov::wlan::protocol {
namespace {

const Guid kGuid = *ParseGuid("{0F5A51D0-0000-4000-8000-025A0F000601}");
const MacAddress kBssid = {0x02, 0x5A, 0x0F, 0x10, 0x00, 0x05};

ConnectionNotificationData SampleConnection() {
  ConnectionNotificationData c;
  c.mode = wlan_connection_mode_temporary_profile;
  c.profileName = "Orvane-WPA2-AES";
  c.ssid = Ssid::FromText("Orvane-WPA2-AES");
  c.bssType = dot11_BSS_type_infrastructure;
  c.securityEnabled = true;
  c.reasonCode = WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED;
  c.flags = WLAN_CONNECTION_ADHOC_JOIN_ONLY;
  c.profileXml = "<WLANProfile/>";
  return c;
}

BssEntry SampleBss() {
  BssEntry e;
  e.ssid = Ssid::FromText("Orvane-5G-HT40");
  e.phyId = 4;
  e.bssid = kBssid;
  e.bssType = dot11_BSS_type_independent;
  e.phyType = dot11_phy_type_ht;
  e.rssi = -57;
  e.linkQuality = 86;
  e.inRegDomain = false;
  e.beaconPeriod = 102;
  e.timestamp = 0x0123456789ABCDEFULL;
  e.hostTimestamp = 133000000000000000ULL;
  e.capabilityInformation = 0x0411;
  e.centerFrequencyKHz = 5180000;
  e.rates = {0x800C, 0x12, 0x8018, 0x6C};
  e.informationElements = {0, 3, 'a', 'b', 'c', 3, 1, 36};
  return e;
}

// One message of each kind with values away from the defaults, and its codec.
struct Sample {
  const char* name;
  std::function<std::vector<uint8_t>()> encode;
  std::function<bool(std::span<const uint8_t>)> decodesEqual;
  std::function<bool(std::span<const uint8_t>)> decodes;  // to anything at all
};

template <typename M>
Sample Make(const char* name, M message) {
  return {name, [message] { return EncodePayload(message); },
          [message](std::span<const uint8_t> bytes) {
            M decoded;
            return DecodePayload(bytes, &decoded) && decoded == message;
          },
          [](std::span<const uint8_t> bytes) {
            M decoded;
            return DecodePayload(bytes, &decoded);
          }};
}

std::vector<Sample> Samples() {
  ConnectionParameters parameters;
  parameters.mode = wlan_connection_mode_discovery_unsecure;
  parameters.profile = "Orvane-Hidden";
  parameters.ssid = Ssid::FromText("Orvane-Hidden");
  parameters.desiredBssids = {kBssid};
  parameters.bssType = dot11_BSS_type_infrastructure;
  parameters.flags = WLAN_CONNECTION_HIDDEN_NETWORK;

  InterfaceQueryResult connection;
  connection.opcode = wlan_intf_opcode_current_connection;
  connection.connection.state = wlan_interface_state_connected;
  connection.connection.mode = wlan_connection_mode_profile;
  connection.connection.profileName = "Orvane-Corp";
  connection.connection.association = {Ssid::FromText("Orvane-Corp"), dot11_BSS_type_infrastructure,
                                        kBssid, dot11_phy_type_erp, 2, 80, 54000, 48000};
  connection.connection.security = {true, true, DOT11_AUTH_ALGO_RSNA, DOT11_CIPHER_ALGO_CCMP};
  InterfaceQueryResult radio;
  radio.opcode = wlan_intf_opcode_radio_state;
  radio.radio = {{0, dot11_radio_state_on, dot11_radio_state_on},
                 {1, dot11_radio_state_off, dot11_radio_state_on}};
  InterfaceQueryResult pairs;
  pairs.opcode = wlan_intf_opcode_supported_adhoc_auth_cipher_pairs;
  pairs.pairs = {{DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP}};
  InterfaceQueryResult rssi;
  rssi.opcode = wlan_intf_opcode_rssi;
  rssi.rssi = -61;

  AvailableNetwork network;
  network.profileName = "Orvane-Mixed";
  network.ssid = Ssid::FromText("Orvane-Mixed");
  network.numberOfBssids = 2;
  network.connectable = false;
  network.notConnectableReason = WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE;
  network.phyTypes = {dot11_phy_type_erp, dot11_phy_type_ht};
  network.signalQuality = 67;
  network.securityEnabled = true;
  network.defaultAuth = DOT11_AUTH_ALGO_RSNA_PSK;
  network.defaultCipher = DOT11_CIPHER_ALGO_CCMP;
  network.flags = WLAN_AVAILABLE_NETWORK_HAS_PROFILE;

  Notification ihv;
  ihv.source = WLAN_NOTIFICATION_SOURCE_IHV;
  ihv.interfaceGuid = kGuid;
  ihv.data = {0x00, 0x00, 0x00, 0x80};
  Notification complete;
  complete.source = WLAN_NOTIFICATION_SOURCE_ACM;
  complete.code = wlan_notification_acm_connection_complete;
  complete.interfaceGuid = kGuid;
  complete.connection = SampleConnection();
  Notification radioChange;
  radioChange.source = WLAN_NOTIFICATION_SOURCE_MSM;
  radioChange.code = wlan_notification_msm_radio_state_change;
  radioChange.radio = PhyRadioState{3, dot11_radio_state_off, dot11_radio_state_on};
  Notification scanFail;
  scanFail.source = WLAN_NOTIFICATION_SOURCE_ACM;
  scanFail.code = wlan_notification_acm_scan_fail;
  scanFail.reasonCode = ERROR_NDIS_DOT11_POWER_STATE_INVALID;

  return {
      Make("OpenHandleRequest", OpenHandleRequest{1}),
      Make("CloseHandleRequest", CloseHandleRequest{7}),
      Make("EnumInterfacesRequest", EnumInterfacesRequest{7}),
      Make("QueryInterfaceRequest", QueryInterfaceRequest{7, kGuid, wlan_intf_opcode_rssi}),
      Make("SetInterfaceRequest",
           SetInterfaceRequest{7, kGuid, wlan_intf_opcode_radio_state,
                               {2, dot11_radio_state_off, dot11_radio_state_unknown}}),
      Make("ScanRequest", ScanRequest{7, kGuid, Ssid::FromText("Orvane-Hidden"), {0xDD, 0x01, 0x00}}),
      Make("ScanRequestWithoutSsid", ScanRequest{7, kGuid, std::nullopt, {}}),
      Make("GetNetworkBssListRequest",
           GetNetworkBssListRequest{7, kGuid, Ssid::FromText("x"), dot11_BSS_type_independent, true}),
      Make("GetAvailableNetworkListRequest",
           GetAvailableNetworkListRequest{7, kGuid, WLAN_AVAILABLE_NETWORK_INCLUDE_ALL_ADHOC_PROFILES}),
      Make("ConnectRequest", ConnectRequest{7, kGuid, parameters}),
      Make("DisconnectRequest", DisconnectRequest{7, kGuid}),
      Make("SetProfileRequest", SetProfileRequest{7, kGuid, WLAN_PROFILE_USER, "<WLANProfile/>", false}),
      Make("GetProfileRequest", GetProfileRequest{7, kGuid, "Orvane-Open"}),
      Make("DeleteProfileRequest", DeleteProfileRequest{7, kGuid, "Orvane-Open"}),
      Make("GetProfileListRequest", GetProfileListRequest{7, kGuid}),
      Make("SetProfileEapUserDataRequest",
           SetProfileEapUserDataRequest{7, kGuid, "Orvane-Corp", {25, 0, 0, 9}, 1, {1, 2, 3}}),
      Make("SetProfileEapXmlUserDataRequest",
           SetProfileEapXmlUserDataRequest{7, kGuid, "Orvane-Corp", 0, "<EapHostUserCredentials/>"}),
      Make("IhvControlRequest",
           IhvControlRequest{7, kGuid, wlan_ihv_control_type_driver, {0x00, 0x40, 0x96, 0x01}, 37}),
      Make("SetSecuritySettingsRequest",
           SetSecuritySettingsRequest{7, wlan_secure_ihv_control, "O:SYG:SYD:(A;;CCRC;;;BU)"}),
      Make("GetSecuritySettingsRequest", GetSecuritySettingsRequest{7, wlan_secure_permit_list}),
      Make("RegisterNotificationRequest", RegisterNotificationRequest{7, 0x58, true}),
      Make("StatusResponse", StatusResponse{ERROR_NOT_FOUND}),
      Make("OpenHandleResponse", OpenHandleResponse{ERROR_SUCCESS, 2, 9}),
      Make("EnumInterfacesResponse",
           EnumInterfacesResponse{ERROR_SUCCESS,
                                  {{kGuid, "Orvane WXP4 Wireless LAN PCI Adapter",
                                    wlan_interface_state_connected},
                                   {Guid{}, "", wlan_interface_state_not_ready}}}),
      Make("QueryInterfaceResponseConnection", QueryInterfaceResponse{ERROR_SUCCESS, connection}),
      Make("QueryInterfaceResponseRadio", QueryInterfaceResponse{ERROR_SUCCESS, radio}),
      Make("QueryInterfaceResponsePairs", QueryInterfaceResponse{ERROR_SUCCESS, pairs}),
      Make("QueryInterfaceResponseRssi", QueryInterfaceResponse{ERROR_SUCCESS, rssi}),
      Make("BssListResponse", BssListResponse{ERROR_SUCCESS, {SampleBss(), BssEntry{}}}),
      Make("AvailableNetworkListResponse", AvailableNetworkListResponse{ERROR_SUCCESS, {network}}),
      Make("SetProfileResponse", SetProfileResponse{ERROR_BAD_PROFILE, WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA}),
      Make("GetProfileResponse", GetProfileResponse{ERROR_SUCCESS, "<WLANProfile/>", WLAN_PROFILE_USER}),
      Make("ProfileListResponse",
           ProfileListResponse{ERROR_SUCCESS, {{"Orvane-Open", 0}, {"Orvane-Corp", WLAN_PROFILE_USER}}}),
      Make("IhvControlResponse", IhvControlResponse{ERROR_SUCCESS, std::vector<uint8_t>(37, 0)}),
      Make("SecuritySettingsResponse",
           SecuritySettingsResponse{ERROR_SUCCESS,
                                    {wlan_opcode_value_type_set_by_user, "O:SYG:SYD:", 0x70023}}),
      Make("RegisterNotificationResponse", RegisterNotificationResponse{ERROR_SUCCESS, 0x58}),
      Make("NotificationIhv", NotificationMessage{9, ihv}),
      Make("NotificationConnectionComplete", NotificationMessage{9, complete}),
      Make("NotificationRadioState", NotificationMessage{9, radioChange}),
      Make("NotificationScanFail", NotificationMessage{9, scanFail}),
  };
}

TEST(WlanProtocolTest, EveryMessageSurvivesItsRoundTrip) {
  for (const Sample& sample : Samples()) {
    SCOPED_TRACE(sample.name);
    EXPECT_TRUE(sample.decodesEqual(sample.encode()));
  }
}

// Every shorter payload and one longer by a byte must be refused: no field may be read past
// the end, and nothing may be left over.
TEST(WlanProtocolTest, EveryTruncationAndEveryTrailingByteIsRefused) {
  for (const Sample& sample : Samples()) {
    SCOPED_TRACE(sample.name);
    std::vector<uint8_t> bytes = sample.encode();
    for (size_t size = 0; size < bytes.size(); ++size) {
      EXPECT_FALSE(sample.decodes(std::span<const uint8_t>(bytes.data(), size)))
          << "a payload cut to " << size << " of " << bytes.size() << " bytes was accepted";
    }
    bytes.push_back(0);
    EXPECT_FALSE(sample.decodes(bytes)) << "a trailing byte was accepted";
  }
}

// Hand-made payloads with one bad field each.
TEST(WlanProtocolTest, PayloadsWithAnOutOfRangeFieldAreRefused) {
  auto u32 = [](uint32_t v) {
    return std::vector<uint8_t>{static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                                static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
  };
  auto join = [](std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
  };
  std::vector<uint8_t> guid(16, 0x11);
  struct Case {
    const char* name;
    std::vector<uint8_t> payload;
    std::function<bool(std::span<const uint8_t>)> decodes;
  };
  auto as = [](auto message) {
    return [message](std::span<const uint8_t> bytes) mutable { return DecodePayload(bytes, &message); };
  };
  const Case cases[] = {
      {"bool that is neither 0 nor 1",
       join({u32(7), u32(0x58), {2}}), as(RegisterNotificationRequest{})},
      {"opcode the service does not know",
       join({u32(7), guid, u32(99)}), as(QueryInterfaceRequest{})},
      {"BSS type 0", join({u32(7), guid, {0}, u32(0), {0}}), as(GetNetworkBssListRequest{})},
      {"SSID of 33 octets",
       join({u32(7), guid, {1}, u32(33), std::vector<uint8_t>(33, 'a'), {0, 0, 0, 0}}),
       as(ScanRequest{})},
      {"string longer than the bytes left",
       join({u32(7), guid, u32(1000), {'a', 'b'}}), as(GetProfileRequest{})},
      {"name longer than any name",
       join({u32(7), guid, u32(5000), std::vector<uint8_t>(5000, 'a')}), as(DeleteProfileRequest{})},
      {"list count beyond the bytes left",
       join({u32(0), u32(0x10000000)}), as(BssListResponse{})},
      {"interface state 8", join({u32(0), u32(1), guid, u32(0), u32(8)}), as(EnumInterfacesResponse{})},
      {"connection mode 5",
       join({u32(7), guid, u32(5), u32(0), {0}, u32(0), u32(1), u32(0)}), as(ConnectRequest{})},
      {"radio state 3",
       join({u32(7), guid, u32(wlan_intf_opcode_radio_state), u32(0), u32(3), u32(0)}),
       as(SetInterfaceRequest{})},
      {"IHV control type 2", join({u32(7), guid, u32(2), u32(0), u32(0)}), as(IhvControlRequest{})},
      {"IHV answer size beyond the limit",
       join({u32(7), guid, u32(0), u32(0), u32(0x01000000)}), as(IhvControlRequest{})},
      {"securable object 17", join({u32(7), u32(17)}), as(GetSecuritySettingsRequest{})},
      {"open answer with handle 0", join({u32(0), u32(2), u32(0)}), as(OpenHandleResponse{})},
      {"signal quality 101",
       // status, one entry: SSID, PHY id, BSSID, BSS type, PHY type, RSSI, link quality 101,
       // in-domain, beacon period, two timestamps, capability, frequency, no rates, no elements
       join({u32(0), u32(1), u32(0), u32(0), std::vector<uint8_t>(6, 0), u32(1), u32(7), u32(0),
             u32(101), {1}, {100, 0}, std::vector<uint8_t>(16, 0), {0, 0}, u32(2412000), u32(0),
             u32(0)}),
       as(BssListResponse{})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(c.decodes(c.payload));
  }
}

TEST(WlanProtocolTest, FrameHeadersOutsideTheLimitsAreRefused) {
  struct Case {
    const char* name;
    uint32_t bodyLength;
    bool accepted;
  };
  const Case cases[] = {
      {"shorter than type and id", 7, false},
      {"type and id alone", 8, true},
      {"the largest frame", kMaxFrameBody, true},
      {"one past the largest", kMaxFrameBody + 1, false},
      {"all ones", 0xFFFFFFFF, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> frame = EncodeFrame(kScan, 5, {});
    frame[0] = static_cast<uint8_t>(c.bodyLength);
    frame[1] = static_cast<uint8_t>(c.bodyLength >> 8);
    frame[2] = static_cast<uint8_t>(c.bodyLength >> 16);
    frame[3] = static_cast<uint8_t>(c.bodyLength >> 24);
    FrameHeader header;
    EXPECT_EQ(DecodeFrameHeader(std::span<const uint8_t>(frame).first(kFrameHeaderSize), &header),
              c.accepted);
  }
}

TEST(WlanProtocolTest, FrameCarriesTypeIdAndPayloadLittleEndian) {
  std::vector<uint8_t> frame = EncodeMessageFrame(CloseHandleRequest{0x01020304}, 0x0A0B0C0D);
  EXPECT_EQ(frame, (std::vector<uint8_t>{12, 0, 0, 0, 2, 0, 0, 0, 0x0D, 0x0C, 0x0B, 0x0A, 4, 3, 2, 1}));
  FrameHeader header;
  ASSERT_TRUE(DecodeFrameHeader(std::span<const uint8_t>(frame).first(kFrameHeaderSize), &header));
  EXPECT_EQ(header.type, static_cast<uint32_t>(kCloseHandle));
  EXPECT_EQ(header.id, 0x0A0B0C0Du);
  EXPECT_EQ(PayloadLength(header), 4u);
}

TEST(WlanTypesTest, GuidTextKeepsTheHostByteOrder) {
  auto guid = ParseGuid("{0F5A51D0-0000-4000-8000-025A0F000601}");
  ASSERT_TRUE(guid);
  EXPECT_EQ((*guid)[0], 0xD0);  // Data1 is little-endian in memory
  EXPECT_EQ((*guid)[3], 0x0F);
  EXPECT_EQ((*guid)[7], 0x40);
  EXPECT_EQ((*guid)[8], 0x80);
  EXPECT_EQ(FormatGuid(*guid), "{0F5A51D0-0000-4000-8000-025A0F000601}");
  for (const char* bad : {"", "0F5A51D0-0000-4000-8000-025A0F000601", "{0F5A51D0-0000-4000-8000-025A0F00060G}",
                          "{0F5A51D0-0000-4000-8000_025A0F000601}"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseGuid(bad));
  }
}

}  // namespace
}  // namespace ov::wlan::protocol
