#pragma once
#include <string>

// What the stand-in daemons (ovsimd, ovregsvc) share at start.
namespace ov {

// Makes `root` (a --root option; empty keeps $OVUI_ROOT) the machine root of this process, as an
// absolute path so that later changes of the current folder do not move it.
void UseMachineRootOption(const std::string& root);

// Takes the lock file that allows one daemon of a kind per machine root. Returns the descriptor to
// hold for the process's life, or -1 when another daemon holds it (or it cannot be made).
int TakeInstanceLock(const std::string& path);

}  // namespace ov
