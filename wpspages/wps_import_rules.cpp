#include "wpspages/wps_import_rules.h"

#include "wps/wps_credential_rules.h"

namespace ov {

AuthEncryState WpsImportAuthEncryState(const WpsCredential& credential) {
  const WpsImportSecurity mapped = MapWpsCredentialToSecurity(credential);
  AuthEncryState s = ResetAuthEncry(true);
  // The editor's 802.1X tab is reset with Add; an enterprise choice only needs a method that is
  // not MD5 there, which the reset one is not.
  uint32_t eapMethod = kEapMethodPeap;
  if (mapped.authChoice) ApplyAuthChoice(s, static_cast<AuthChoice>(*mapped.authChoice), eapMethod);
  if (mapped.cipherChoice) ApplyCipherChoice(s, static_cast<CipherChoice>(*mapped.cipherChoice));
  if (mapped.preSharedKey) s.psk = *mapped.preSharedKey;
  if (mapped.wepKeyIndex) {
    const int k = *mapped.wepKeyIndex;
    SelectKey(s, k);
    s.keyHex[k] = mapped.wepKeyHex ? 1 : 0;
    s.keys[k] = mapped.wepKey;
  }
  return s;
}

}  // namespace ov
