#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The wire format of one device request on a device socket.
//   request: u32 control code, u32 OID, u32 output size, then `output size` bytes
//   answer:  u32 status (0 = success), u32 bytes returned, then `output size` bytes: the output
//            buffer as the driver left it
// All little-endian. A connection carries any number of requests, one at a time.
namespace ov {

constexpr uint32_t IOCTL_NDIS_QUERY_GLOBAL_STATS = 0x00170002;

// Requests larger than this are refused by both ends; the largest real payload is a few KB.
constexpr uint32_t kMaxDevicePayload = 1u << 20;

constexpr size_t kDeviceHeaderBytes = 12;  // request header
constexpr size_t kDeviceAnswerHeaderBytes = 8;

struct DeviceRequestHeader {
  uint32_t controlCode = 0;
  uint32_t oid = 0;
  uint32_t outputSize = 0;
};

struct DeviceAnswerHeader {
  uint32_t status = 0;
  uint32_t bytesReturned = 0;
};

void EncodeRequestHeader(const DeviceRequestHeader& header, uint8_t out[kDeviceHeaderBytes]);
DeviceRequestHeader DecodeRequestHeader(const uint8_t in[kDeviceHeaderBytes]);
void EncodeAnswerHeader(const DeviceAnswerHeader& header, uint8_t out[kDeviceAnswerHeaderBytes]);
DeviceAnswerHeader DecodeAnswerHeader(const uint8_t in[kDeviceAnswerHeaderBytes]);

// "\\.\{GUID}" names the socket <root>/run/ovui/devices/{GUID}. Anything else, or a name that
// could leave that folder, has no socket.
std::optional<std::string> DeviceSocketPath(const std::string& devicePath);

// The device path of an adapter with the given NetCfgInstanceId.
std::string DevicePathFor(const std::string& netCfgInstanceId);

// Folder of the device sockets under the machine root.
std::string DeviceSocketFolder();

}  // namespace ov
