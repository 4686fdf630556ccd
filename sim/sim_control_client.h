#pragma once
#include <string>

// The client end of ovsimd's control socket <root>/run/ovui/ovsimd.ctl: one request line, one
// reply line ("ok ..." or "error ..."). Kept free of the simulator itself so that tools link
// only this.
namespace ov::sim {

std::string ControlSocketPath();

// Sends `line` (no newline) and reads the reply line into *reply (without its newline). False
// with *error set when ovsimd is not running or does not answer within `timeoutMs`.
bool SimControlRequest(const std::string& line, std::string* reply, std::string* error,
                       int timeoutMs = 3000);

}  // namespace ov::sim
