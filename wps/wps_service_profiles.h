#pragma once
#include <string>
#include <string_view>

#include "nativewifi/native_wifi_client.h"
#include "wps/wps_store.h"

// The service profiles a replaced WPS credential leaves behind, reached through the wireless
// client (the WPS page and `ovuictl wps` save through it; the monitor has its own seam).
namespace ov {

class NativeWifiServiceProfiles final : public WpsServiceProfiles {
 public:
  explicit NativeWifiServiceProfiles(NativeWifiClient& client) : client_(client) {}
  bool ServiceProfileExists(std::string_view name) override {
    return client_.ServiceProfileExists(std::string(name));
  }
  bool DeleteServiceProfile(std::string_view name) override {
    return client_.DeleteServiceProfile(std::string(name)) == 0;
  }

 private:
  NativeWifiClient& client_;
};

}  // namespace ov
