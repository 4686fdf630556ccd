#pragma once
#include "nativewifi/native_wifi_client.h"
#include "shell/connection_client.h"

// The action queue's ConnectionClient over the monitor's NativeWifiClient (the client lives below
// the shell and cannot name the queue's interface itself).
namespace ov {

class NativeWifiConnectionClient final : public ConnectionClient {
 public:
  explicit NativeWifiConnectionClient(NativeWifiClient& client) : client_(client) {}

  bool Scan() override { return client_.Scan() == ERROR_SUCCESS; }
  bool ApplyProfile(uint32_t force, StationProfile& record, bool joinOnly,
                    CertificateManager* certificateManager) override {
    return client_.ApplyProfile(force, record, joinOnly, certificateManager);
  }
  bool IsConnected() override { return client_.IsConnected(); }

 private:
  NativeWifiClient& client_;
};

}  // namespace ov
