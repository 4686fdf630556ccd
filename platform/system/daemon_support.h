#pragma once
#include <string>

// What the stand-in daemons (ovsimd, ovregsvc) share at start.
namespace ov {

// Makes `root` (a --root option; empty keeps $OVUI_ROOT) the machine root of this process, as an
// absolute path so that later changes of the current folder do not move it.
void UseMachineRootOption(const std::string& root);

// Takes the lock file (never through a symbolic link) that allows one daemon of a kind per
// machine root. Returns the descriptor to
// hold for the process's life, or -1 when another daemon holds it (or it cannot be made).
int TakeInstanceLock(const std::string& path);

// Every local user may look into `folder` but only its owner may change it (r-x for group and
// others, never w, whatever the umask was): the device and service sockets inside it are
// everyone's, as a device file and the host's services are, and nobody may replace them. Only a
// folder this process owns is changed.
void OpenFolderToEveryone(const std::string& folder);

}  // namespace ov
