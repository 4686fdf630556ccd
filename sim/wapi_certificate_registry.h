#pragma once
#include <optional>

#include "sim/wapi_certificate_check.h"

// Where the simulated IHV extension finds the station's WAPI certificate: the values the
// certificate install wrote under the classes root (the machine hive), read only. Reads are
// bounded by the install's own buffer sizes: anything larger, of another type or missing counts
// as nothing installed.
namespace ov::sim {

std::optional<InstalledWapiCertificate> ReadInstalledWapiCertificate();

}  // namespace ov::sim
