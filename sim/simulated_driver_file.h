#pragma once
#include <string>

#include "driver/driver_file.h"
#include "sim/scenario.h"

// The simulated driver's file under the machine root, as an installed driver leaves it: the
// about page reads its version and date.
namespace ov::sim {

inline constexpr DriverFileVersion kSimDriverVersion{3, 2, 1, 0};

// Writes (or replaces) the file of the adapter's family; false with `error` set on failure.
bool WriteSimulatedDriverFile(const AdapterSpec& spec, std::string* error);

}  // namespace ov::sim
