#pragma once
#include <filesystem>
#include <string>

// Every machine-wide path (hives, device sockets, service sockets, machine data) lives under one
// root: "/" on an installed system, a sandbox folder for the default run and the tests.
namespace ov {

// The root chosen by OVUI_ROOT, or "/" when unset or empty. Read at each call so tests can switch it.
std::filesystem::path MachineRoot();

// MachineRoot() joined with a root-relative path such as "run/ovui/wlansvc".
std::filesystem::path UnderRoot(const std::string& relative);

// The folder holding the running program (with no trailing separator).
std::filesystem::path ProgramFolder();

}  // namespace ov
