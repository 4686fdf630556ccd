#pragma once
#include "driver/oid/wps_records.h"
#include "profilepages/page_auth_encry_rules.h"

// Import Profile's security tab for one WPS credential, without Qt: the reset state of Add, the
// credential's authentication and encryption chosen as the tab's menus choose them, then its key.
namespace ov {

AuthEncryState WpsImportAuthEncryState(const WpsCredential& credential);

}  // namespace ov
