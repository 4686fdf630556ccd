#pragma once
#include "driver/oid/wps_records.h"

// Import Profile of the WPS page: every credential of the table, in order, becomes a stored
// station profile through the profile editor, without the editor being shown.
namespace ov {

class COvUI2007Dlg;

// The number of profiles saved. An empty table does nothing. The first credential the editor
// refuses stops the import there, with the editor shown on it and the reason given, so that no
// credential is dropped without the user seeing it.
int ImportWpsCredentials(COvUI2007Dlg& window, const WpsCredentialTable& table);

}  // namespace ov
