#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "driver/params/program_options.h"
#include "shell/radio_settings.h"

// What the advanced page reaches of the monitor besides the page services: the adapter facts
// read at set-up, the process-wide radio values, the queue's operations, the program options
// (read again on each call, so an edited file shows at once) and the connection it drops and
// makes again when the band or a region changes.
namespace ov {

class NativeWifiClient;

// The wireless client's calls around a band or region change.
class RadioConnection {
 public:
  virtual ~RadioConnection() = default;
  virtual bool IsConnected() = 0;
  virtual bool GetConnectionMode(uint32_t& mode) = 0;
  virtual bool GetProfileName(std::string& name) = 0;
  virtual bool GetBssType(uint32_t& bssType) = 0;
  virtual bool GetCurrentSsid(std::vector<uint8_t>& ssid) = 0;
  virtual bool GetAuthAlgorithm(uint32_t& algorithm) = 0;
  virtual bool GetCipherAlgorithm(uint32_t& algorithm) = 0;
  virtual uint32_t Disconnect() = 0;
  // Mode 0 with a profile name; modes 2 and 3 (discovery) with the SSID.
  virtual uint32_t Connect(uint32_t mode, const std::string& profileName, uint32_t bssType,
                           const std::vector<uint8_t>& ssid, bool adhocJoinOnly) = 0;
};

// The wireless client behind RadioConnection.
class NativeWifiRadioConnection final : public RadioConnection {
 public:
  explicit NativeWifiRadioConnection(NativeWifiClient& client) : client_(client) {}
  bool IsConnected() override;
  bool GetConnectionMode(uint32_t& mode) override;
  bool GetProfileName(std::string& name) override;
  bool GetBssType(uint32_t& bssType) override;
  bool GetCurrentSsid(std::vector<uint8_t>& ssid) override;
  bool GetAuthAlgorithm(uint32_t& algorithm) override;
  bool GetCipherAlgorithm(uint32_t& algorithm) override;
  uint32_t Disconnect() override;
  uint32_t Connect(uint32_t mode, const std::string& profileName, uint32_t bssType,
                   const std::vector<uint8_t>& ssid, bool adhocJoinOnly) override;

 private:
  NativeWifiClient& client_;
};

// Process-wide values of the advanced page that outlive the page: the list indices of the last
// Apply (or of the first initialisation) and the copy of ShowAuthStatus.
struct AdvancePageMemory {
  bool indicesKnown = false;
  int band = 0;
  int region24 = 0;
  int region5 = 0;
  bool showAuthStatus = false;
};

class RadioPageHost {
 public:
  virtual ~RadioPageHost() = default;
  virtual bool ABandCapable() const = 0;
  virtual bool Bw40Allowed24() const = 0;
  virtual bool Bw40Allowed5() const = 0;
  // WirelessMode, the region word with its RegionChangeable flags, the transmit-setting word and
  // the StaConfig copy.
  virtual RadioSettingsState& Radio() = 0;
  // The channel-plan check after a country-region set.
  virtual void RunChannelPlan() = 0;
  // ApplyActiveConfiguration(0, 1, 0).
  virtual void ApplyActiveConfiguration() = 0;
  // CurrentProfile exists and names its access point by BSSID.
  virtual bool CurrentProfileUsesBssid() const = 0;
  virtual ProgramOptions ProgramSettingsNow() = 0;
  // The debug trace file (written only with [Advance] "OpenFile" = "1").
  virtual void AppendDebugTrace(std::string_view text) = 0;
  // Null while there is no wireless client.
  virtual RadioConnection* Connection() = 0;
  virtual AdvancePageMemory& AdvanceMemory() = 0;
};

}  // namespace ov
