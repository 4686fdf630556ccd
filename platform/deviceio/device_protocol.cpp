#include "platform/deviceio/device_protocol.h"

#include "platform/system/machine_root.h"

namespace ov {

namespace {

void PutU32(uint8_t* out, uint32_t v) {
  out[0] = static_cast<uint8_t>(v);
  out[1] = static_cast<uint8_t>(v >> 8);
  out[2] = static_cast<uint8_t>(v >> 16);
  out[3] = static_cast<uint8_t>(v >> 24);
}

uint32_t GetU32(const uint8_t* in) {
  return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 |
         static_cast<uint32_t>(in[2]) << 16 | static_cast<uint32_t>(in[3]) << 24;
}

constexpr char kDevicePrefix[] = "\\\\.\\";

}  // namespace

void EncodeRequestHeader(const DeviceRequestHeader& header, uint8_t out[kDeviceHeaderBytes]) {
  PutU32(out, header.controlCode);
  PutU32(out + 4, header.oid);
  PutU32(out + 8, header.outputSize);
}

DeviceRequestHeader DecodeRequestHeader(const uint8_t in[kDeviceHeaderBytes]) {
  return DeviceRequestHeader{GetU32(in), GetU32(in + 4), GetU32(in + 8)};
}

void EncodeAnswerHeader(const DeviceAnswerHeader& header, uint8_t out[kDeviceAnswerHeaderBytes]) {
  PutU32(out, header.status);
  PutU32(out + 4, header.bytesReturned);
}

DeviceAnswerHeader DecodeAnswerHeader(const uint8_t in[kDeviceAnswerHeaderBytes]) {
  return DeviceAnswerHeader{GetU32(in), GetU32(in + 4)};
}

std::string DeviceSocketFolder() { return UnderRoot("run/ovui/devices").string(); }

std::optional<std::string> DeviceSocketPath(const std::string& devicePath) {
  const std::string prefix = kDevicePrefix;
  if (devicePath.size() <= prefix.size() || devicePath.compare(0, prefix.size(), prefix) != 0) {
    return std::nullopt;
  }
  std::string name = devicePath.substr(prefix.size());
  if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos ||
      name == "." || name == ".." || name.find('\0') != std::string::npos) {
    return std::nullopt;
  }
  return DeviceSocketFolder() + "/" + name;
}

std::string DevicePathFor(const std::string& netCfgInstanceId) {
  return kDevicePrefix + netCfgInstanceId;
}

}  // namespace ov
