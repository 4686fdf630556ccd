#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "driver/adapter_info.h"
#include "driver/ndis_types.h"
#include "driver/oid/ndis_records.h"
#include "driver/oid_requester.h"
#include "driver/params/program_options.h"
#include "driver/params/registry_writer.h"
#include "profiles/profile_store.h"
#include "profiles/secret_codec.h"
#include "shell/action_queue.h"

// Adapter set-up: what every front end does once discovery has found an adapter, before it
// applies anything. The utility's monitor window and ovuictl's adapter session both call it, so
// they read the same facts from the same places and hand the queue the same context.
namespace ov {

// The OFDM PHY, which only a 5 GHz capable adapter lists.
inline constexpr uint32_t kPhyTypeOfdm = 4;

// The 5 GHz rule: the driver lists the OFDM PHY and, when the adapter's "CountryWirelessMode"
// can be read, its bits 28-31 say 1. No answer from the driver means no 5 GHz.
bool IsABandCapable(const DOT11_SUPPORTED_PHY_TYPES* phyTypes,
                    std::optional<uint32_t> countryWirelessMode);

// The 40 MHz permissions in EEPROM word 0x36: bit 8 set forbids 2.4 GHz, bit 9 set forbids
// 5 GHz. The word 0xFFFF (or no answer) is no reading: the permissions stay as they were.
struct Bw40Permissions {
  bool allowed24 = true;
  bool allowed5 = true;
};
void ApplyBw40Word(std::optional<uint32_t> eepromWord, Bw40Permissions& permissions);

// What set-up learnt about the adapter, for the monitor's flags and the pages.
struct AdapterFacts {
  int32_t psMode = 0;
  bool aBandCapable = false;
  uint32_t supportedPhyTypesResult = 0;  // 0 the driver listed its PHY types, 50 it did not
  Bw40Permissions bw40;
  bool ieee80211h = false;
  uint16_t ndisVersion = 0;
  bool radioOn = false;
  std::optional<MacAddress> mac;  // OID_802_3_CURRENT_ADDRESS
};

struct AdapterSetupInputs {
  OidRequester* driver = nullptr;
  RegistryWriter* registry = nullptr;
  const AdapterInfo* adapter = nullptr;
  ProgramOptions options;
  bool isAdmin = false;
  std::string dataDir;  // the profile store's folder, ending in "/"
  SecretCodec* secretCodec = nullptr;
  // The monitor window's own steps; left empty by a front end without windows.
  // Runs when the driver reports that the adapter was left in access-point mode.
  std::function<void()> handBackFromApMode;
  // Writes the "Default" and "ApDefault" parameter sets.
  bool writeParameterSets = false;
  // Held set while the driver's region and version are read (the monitor's Busy flag).
  bool* busy = nullptr;
  // The 40 MHz permissions as the previous set-up left them: no reading keeps them.
  Bw40Permissions bw40;
};

struct AdapterSetupResult {
  AdapterFacts facts;
  std::unique_ptr<ProfileStore> store;
  std::string currentProfileName;  // "CurProfile" of section "Config", empty when none
};

// The queue's adapter facts from set-up's readings and the program options (wpaReady and the
// radio switch as the front end keeps them are its own to set after).
void FillAdapterContext(const AdapterInfo& adapter, const AdapterFacts& facts,
                        const ProgramOptions& options, bool isAdmin, AdapterContext& context);

// Runs the set-up steps in their order: the adapter's flags, the WPS table emptied, the 40 MHz
// permissions, the hand-back from access-point mode, 802.11h, the parameter sets, the channel plan
// and the driver's version, the radio switch, the profile store and the current profile. Fills the
// queue's adapter context (with the program options it reads) and points the queue at the store.
// Sends no OID set of its own (the channel plan and the hand-back may).
AdapterSetupResult SetUpAdapter(const AdapterSetupInputs& inputs, ActionQueue& queue);

}  // namespace ov
