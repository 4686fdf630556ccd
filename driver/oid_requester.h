#pragma once
#include <cstdint>

// The two primitives every driver request goes through. The OID channel implements them over the
// adapter's device file; tests put a recording double behind them.
namespace ov {

class OidRequester {
 public:
  virtual ~OidRequester() = default;

  // Fills `buffer` (size bytes) with the driver's answer; *bytesReturned gets the driver's count.
  virtual bool QueryOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned) = 0;

  // Sends `size` bytes of payload; `retries` is the total number of attempts (3 everywhere).
  // True only when the first attempt succeeded; a failed set may still be applied by a retry.
  virtual bool SetOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned,
                      int retries) = 0;
};

// OR-ed into the OID of every set: the driver tells a set from a query by these bits.
constexpr uint32_t OidSetMask = 0xFF800000;

// Every set of the system passes this many attempts.
constexpr int kSetAttempts = 3;

}  // namespace ov
