#pragma once
#include <cstdint>
#include <memory>
#include <string>

// What the CCX page's diagnostic test needs from the wireless client and its IHV extension.
// The service names its profiles by SSID, so every name here is a service profile name.
namespace ov {

class NativeWifiClient;

class CcxDiagnostics {
 public:
  virtual ~CcxDiagnostics() = default;
  virtual bool ServiceProfileExists(const std::string& serviceName) = 0;
  virtual bool HasDiagnosticsSection(const std::string& serviceName) = 0;
  // 0 when the request was sent.
  virtual uint32_t SendCcxProfile(const std::string& serviceName) = 0;
  virtual uint32_t SendCcxEnable() = 0;
  // False for a code without a text.
  virtual bool FormatDiagnosticMessage(uint32_t code, std::string& text) = 0;
};

// Over the client; a null client answers "no profile" and sends nothing.
std::unique_ptr<CcxDiagnostics> MakeClientCcxDiagnostics(NativeWifiClient* client);

}  // namespace ov
