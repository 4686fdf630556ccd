// DescribeBss over arbitrary scan-list entries. The first input octet steers: bit 0 picks the
// version code before 11 (the ad hoc WPA rule), bit 1 rewrites Length and IELength to fit the
// bytes so that most inputs reach the element walk. The entry is copied into a buffer of its
// exact size, so any read past it is caught by the address sanitizer.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/oid/bssid_list.h"
#include "driver/oid/byte_codec.h"
#include "views/bss_describe.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t control = data[0];
  std::vector<uint8_t> entry(data + 1, data + size);
  if ((control & 2) && entry.size() >= ov::kNdisWlanBssidExFixedSize) {
    ov::byte_codec::PutU32(entry, ov::bssid_entry_offset::kLength, static_cast<uint32_t>(entry.size()));
    ov::byte_codec::PutU32(entry, ov::bssid_entry_offset::kIELength,
                           static_cast<uint32_t>(entry.size() - ov::kNdisWlanBssidExFixedSize));
  }
  const ov::OsVersionCode os = (control & 1) ? 10 : 11;

  const size_t counts[] = {ov::kBssSecurityFieldCount, ov::kBssCcxFieldCount, ov::kBssWpsFieldCount,
                           ov::kBssHtFieldCount};
  std::array<uint8_t, ov::kHtMcsSetSize> mcs;
  for (int form = ov::kBssFormSecurity; form <= ov::kBssFormHt; ++form) {
    const std::string text = ov::DescribeBss(entry, form, &mcs, os);
    Check(ov::SplitBssForm(text).size() == counts[form]);
  }
  Check(ov::DescribeBss(entry, 4, nullptr, os).empty());

  // The same bytes as a whole scan list.
  for (const auto& listed : ov::BssidListEntries(entry)) {
    Check(listed.data() >= entry.data() && listed.data() + listed.size() <= entry.data() + entry.size());
  }
  return 0;
}
