#include "platform/system/error_codes.h"

namespace ov {

namespace {
thread_local uint32_t lastError = ERROR_SUCCESS;
}

void SetLastError(uint32_t code) { lastError = code; }
uint32_t GetLastError() { return lastError; }

}  // namespace ov
