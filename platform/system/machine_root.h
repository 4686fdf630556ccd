#pragma once
#include <filesystem>
#include <string>

// Every machine-wide path (hives, device sockets, service sockets, machine data) lives under one
// root: "/" on an installed system, a sandbox folder for the default run and the tests.
namespace ov {

// The root chosen by OVUI_ROOT, or "/" when unset or empty. Read at each call so tests can switch it.
std::filesystem::path MachineRoot();

// Whether the root can be used: OVUI_ROOT unset or empty ("/"), or an absolute path naming an
// existing folder. A relative or missing root is refused rather than turned into a new, empty
// machine. `problem` (optional) receives the reason.
bool MachineRootUsable(std::string* problem);

// MachineRoot() joined with a root-relative path such as "run/ovui/wlansvc".
std::filesystem::path UnderRoot(const std::string& relative);

// The folder holding the running program (with no trailing separator).
std::filesystem::path ProgramFolder();

}  // namespace ov
