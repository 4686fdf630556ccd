#pragma once
#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "driver/oid_requester.h"

namespace ov {

// A driver stand-in behind the request seam: it records every request with the bytes it
// carried (for a query, the buffer as handed over) and answers queries from a table.
class RecordingRequester : public OidRequester {
 public:
  struct Call {
    bool isSet = false;
    uint32_t oid = 0;
    uint32_t size = 0;
    int retries = 0;
    std::vector<uint8_t> bytes;
  };

  std::vector<Call> calls;
  std::map<uint32_t, std::vector<uint8_t>> answers;  // query answers by OID; absent: no bytes
  std::set<uint32_t> failingQueries;
  std::set<uint32_t> failingSets;

  bool QueryOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned) override {
    calls.push_back({false, oid, size, 0, std::vector<uint8_t>(buffer, buffer + size)});
    *bytesReturned = 0;
    if (failingQueries.count(oid) != 0) return false;
    const auto it = answers.find(oid);
    if (it != answers.end()) {
      const size_t n = std::min<size_t>(size, it->second.size());
      std::copy_n(it->second.begin(), n, buffer);
      *bytesReturned = static_cast<uint32_t>(n);
    }
    return true;
  }

  bool SetOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned,
              int retries) override {
    calls.push_back(
        {true, oid, size, retries,
         size == 0 ? std::vector<uint8_t>{} : std::vector<uint8_t>(buffer, buffer + size)});
    *bytesReturned = 0;
    return failingSets.count(oid) == 0;
  }

  std::vector<Call> Sets() const {
    std::vector<Call> sets;
    for (const Call& c : calls) {
      if (c.isSet) sets.push_back(c);
    }
    return sets;
  }
};

}  // namespace ov
