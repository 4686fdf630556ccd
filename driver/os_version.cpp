#include "driver/os_version.h"

#include "platform/system/admin_group.h"

namespace ov {

namespace {

OsVersionCode Win9xCode(const OsVersionRecord& r) {
  if (r.major != 4) return 0;
  const uint32_t build = r.build & 0xFFFF;
  if (r.minor == 0) return 2;
  if (r.minor == 10) return build == 2222 ? 4 : 3;
  if (r.minor == 90) return 5;
  return 0;
}

OsVersionCode WinNtCode(const OsVersionRecord& r) {
  const bool workstation = r.productType == OsVersionRecord::Workstation;
  if (r.major <= 4) return 6;
  if (r.major == 5 && r.minor == 0) return 7;
  if (r.major == 5 && r.minor == 1) return 8;
  if (r.major == 5 && r.minor == 2) return workstation ? 10 : 9;
  if (r.major == 6) return 11;
  return workstation ? 12 : 13;
}

}  // namespace

OsVersionCode OsVersionCodeFor(const std::optional<OsVersionRecord>& record) {
  if (!record) return 0;
  switch (record->platform) {
    case OsVersionRecord::Win9x:
      return Win9xCode(*record);
    case OsVersionRecord::WinNt:
      return WinNtCode(*record);
    default:
      return 0;
  }
}

OsVersionCode CurrentOsVersionCode() { return kLinuxOsVersionCode; }

bool IsAdmin(OsVersionCode code, bool inAdminGroup) { return code <= 6 || inAdminGroup; }

bool IsAdmin(OsVersionCode code) { return code <= 6 || ProcessIsInAdminGroup(); }

bool IsWow64(OsVersionCode code, std::optional<bool> reportedByOs) {
  return code >= 10 && reportedByOs.value_or(false);
}

}  // namespace ov
