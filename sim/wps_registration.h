#pragma once
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "driver/oid/wps_records.h"
#include "sim/access_point.h"

// The visible side of the driver's WPS registration protocol: a start record aimed at the
// radio world becomes a timed walk through the driver's status codes, ending in the access
// point's credentials or in a failure code. The world is the one at the start; nothing of the
// cryptography is simulated, only what the utility can see.
namespace ov::sim {

constexpr int64_t kWpsStepMs = 400;        // one protocol step (the page polls every 200 ms)
constexpr int64_t kWpsWalkTimeMs = 120000;  // a run that has not ended by then ends in 517

struct WpsRunPlan {
  bool pinSession = false;
  std::vector<std::pair<int64_t, uint32_t>> steps;  // (ms after the start, status code)
  std::optional<WpsCredential> credential;          // the table's content on success
  uint32_t channel = 0;                             // the access point's, on success
};

// What a start record leads to. `role` of the record decides the enrollee or registrar
// sequence; a push-button start looks for the world's push-button access points (none: 258
// at the walk time; several: 257), a PIN start for the one its BSSID names.
WpsRunPlan PlanWpsRun(const WpsStart& start, const std::vector<AccessPointSpec>& world);

// The status code `elapsedMs` after the start (the last step reached).
uint32_t WpsRunStatusAt(const WpsRunPlan& plan, int64_t elapsedMs);
// True once the last step is reached.
bool WpsRunFinished(const WpsRunPlan& plan, int64_t elapsedMs);

// The credential a registrar hands out for the access point: its SSID, security and key.
WpsCredential AccessPointCredential(const AccessPointSpec& ap);

}  // namespace ov::sim
