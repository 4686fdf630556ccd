#pragma once
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "driver/oid/ndis_records.h"
#include "profiles/data_directory.h"

namespace ov::cli {

class AdapterSession;

// `ovuictl wps pbc [BSSID]` and `ovuictl wps pin [PIN] [BSSID]`: one WPS run through the driver
// as the WPS page makes it, with its progress texts, then the credential it brought stored and
// applied. Exit 0 once connected; 1 with the status's text when the run fails.
struct WpsRunRequest {
  bool pin = false;
  std::optional<std::string> pinText;  // pin: the PIN typed; none: the stored (or a new) one
  std::optional<MacAddress> bssid;     // pbc: must be a push-button AP; pin: the AP to try
};
int RunWpsRun(AdapterSession& session, const DataDirectory& dataDir, const WpsRunRequest& request,
              std::ostream& out, std::ostream& err);

}  // namespace ov::cli
