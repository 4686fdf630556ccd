#pragma once
#include <cstdint>
#include <filesystem>

#include "nativewifi/certificate_manager.h"
#include "nativewifi/station_profile.h"

// What the action queue needs from the native wireless client and from the WAPI library. The
// client of the wireless service implements ConnectionClient; tests put a recording double
// behind both.
namespace ov {

class ConnectionClient {
 public:
  virtual ~ConnectionClient() = default;

  // Asks the service for a scan (no SSID, no element data). Its end arrives as the scan-complete
  // or scan-fail message; false when the request itself failed, so none will arrive.
  virtual bool Scan() = 0;

  // Applies a profile: the per-connection OIDs (connect flag 1 when `force`), the WLAN profile
  // stored in the service, and the connect, as an ad hoc join only when `joinOnly`. The record
  // stays its caller's; the client may adjust it (the preamble of an infrastructure profile).
  virtual bool ApplyProfile(uint32_t force, StationProfile& record, bool joinOnly,
                            CertificateManager* certificateManager) = 0;

  // The interface is connected.
  virtual bool IsConnected() = 0;
};

// The WAPI library's two calls made before a profile is applied.
class WapiControl {
 public:
  virtual ~WapiControl() = default;
  virtual void AccessUserCancel() = 0;  // "WAPIAPIAccessUserCancle"
  virtual void DisAssociate() = 0;      // "WAPIAPIDisAssociate"
};

// libWAPIDLL.so in the program folder (or at `library`), loaded for each call and never
// released; a missing library or export does nothing.
class WapiLibrary final : public WapiControl {
 public:
  WapiLibrary();
  explicit WapiLibrary(std::filesystem::path library) : library_(std::move(library)) {}
  void AccessUserCancel() override;
  void DisAssociate() override;

 private:
  void Call(const char* exportName);
  std::filesystem::path library_;
};

}  // namespace ov
