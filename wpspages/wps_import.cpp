#include "wpspages/wps_import.h"

#include <algorithm>
#include <string>

#include "profilepages/profile_editor_entry.h"
#include "wpspages/wps_import_rules.h"

namespace ov {

int ImportWpsCredentials(COvUI2007Dlg& window, const WpsCredentialTable& table) {
  const uint32_t count = std::min<uint32_t>(table.Count, WpsCredentialTable::kMaxCredentials);
  int saved = 0;
  for (uint32_t n = 0; n < count; ++n) {
    const WpsCredential& credential = table.Credentials[n];
    if (!AddProfileWithoutShowing(window, std::string(WpsCredentialSsid(credential)),
                                  WpsImportAuthEncryState(credential)))
      break;
    ++saved;
  }
  return saved;
}

}  // namespace ov
