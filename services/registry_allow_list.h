#pragma once
#include <string>

#include "services/registry_message.h"

// What the registry service may do for a caller: only the keys the utility itself writes for a
// user without rights, each with the operations and values it needs. Everything else is refused.
//
//   adapter driver keys   SYSTEM\CurrentControlSet\Control\Class\{4d36e972-...}\<nnnn> and below
//   single sign-on key    Software\Microsoft\Windows NT\CurrentVersion\Winlogon\Orvane and below
//   logon library value   ...\Winlogon, value "GinaDLL", data exactly "OrvaneGina.DLL"
//   TCP/IP parameters     SYSTEM\CurrentControlSet\Services\Tcpip\Parameters, the four DWORDs
//                         "TCPWindowSize", "SackOpts", "TcpMaxDupAcks", "Tcp1323Opts"
//   WAPI key              classes root CLSID\{5B7E2C10-...}\Wapi_auth and below
//
// Keys are deleted only strictly below a rule's own key, so a caller can clear a "Default"
// subkey but never remove an adapter's driver key. Names compare without regard to ASCII case,
// as the registry does.
namespace ov {

struct AllowDecision {
  bool allowed = false;
  // The rule that allowed it, or why it was refused.
  std::string explanation;
  // The single sign-on rules also need the profile policy for a standard user.
  bool needsProfilePolicy = false;
  // The key the operation acts on, as a path in the local-machine hive (the classes root is
  // its SOFTWARE\Classes); for key deletions, the parent key.
  std::string machineKeyPath;
};

// Expects a message that DecodeRegistryMessage accepted.
AllowDecision CheckAllowList(const RegistryMessage& message);

}  // namespace ov
