#include "ccx/ccx_diagnostics.h"

#include "nativewifi/native_wifi_client.h"

namespace ov {

namespace {

constexpr uint32_t kNoClient = 21;  // ERROR_NOT_READY

class ClientCcxDiagnostics : public CcxDiagnostics {
 public:
  explicit ClientCcxDiagnostics(NativeWifiClient* client) : client_(client) {}
  bool ServiceProfileExists(const std::string& name) override {
    return client_ != nullptr && client_->ServiceProfileExists(name);
  }
  bool HasDiagnosticsSection(const std::string& name) override {
    return client_ != nullptr && client_->HasDiagnosticsSection(name);
  }
  uint32_t SendCcxProfile(const std::string& name) override {
    return client_ != nullptr ? client_->SendCcxProfile(name) : kNoClient;
  }
  uint32_t SendCcxEnable() override {
    return client_ != nullptr ? client_->SendCcxEnable() : kNoClient;
  }
  bool FormatDiagnosticMessage(uint32_t code, std::string& text) override {
    return client_ != nullptr && client_->FormatDiagnosticMessage(code, text);
  }

 private:
  NativeWifiClient* client_;
};

}  // namespace

std::unique_ptr<CcxDiagnostics> MakeClientCcxDiagnostics(NativeWifiClient* client) {
  return std::make_unique<ClientCcxDiagnostics>(client);
}

}  // namespace ov
