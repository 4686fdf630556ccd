#pragma once
#include <cstdint>
#include <optional>

// The operating-system version code that several rules key on (device path scheme, the private
// copy of OID sets, the administrator test, 802.11n, the 64-bit view).
namespace ov {

using OsVersionCode = int32_t;

// What this program reports on Linux, where no Windows version record exists: the code of the
// newest generation the rules know, so every modern path is taken.
constexpr OsVersionCode kLinuxOsVersionCode = 11;

// A Windows version record, kept so the code table stays testable.
struct OsVersionRecord {
  enum Platform : uint32_t { Win32s = 0, Win9x = 1, WinNt = 2 };
  enum ProductType : uint8_t { Unknown = 0, Workstation = 1, DomainController = 2, Server = 3 };

  uint32_t platform = WinNt;
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  // The plain (non-extended) record has no product type: Unknown, which counts as "not workstation".
  uint8_t productType = Unknown;
};

// The code table: 2..5 for the 9x family, 6..13 for NT; 0 when no record could be had. A 9x
// version outside the table also gives 0. On 9x only the low word of the build counts (the
// high word repeats major and minor).
OsVersionCode OsVersionCodeFor(const std::optional<OsVersionRecord>& record);

// The code of the running system.
OsVersionCode CurrentOsVersionCode();

// Codes 6 and below skip the group test (those systems had no separate administrator rights).
bool IsAdmin(OsVersionCode code, bool inAdminGroup);
// The same, asking the system about the process's groups only when the code needs it.
bool IsAdmin(OsVersionCode code);

// 64-bit emulation matters from code 10 on; an unavailable query (nothing reported) means no.
bool IsWow64(OsVersionCode code, std::optional<bool> reportedByOs);

}  // namespace ov
