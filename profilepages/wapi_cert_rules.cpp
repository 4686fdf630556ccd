#include "profilepages/wapi_cert_rules.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "platform/system/ascii_text.h"

namespace ov {

namespace {

constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kEpochDifferenceSeconds = 11644473600;  // 1601-01-01 to 1970-01-01
constexpr size_t kUtcTimeLength = 13;                      // YYMMDDhhmmssZ

std::string CalendarText(int year, int month, int day, int hour, int minute, int second) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", year, month, day, hour, minute,
                second);
  return text;
}

// "YYMMDDhhmmssZ" with twelve digits; X.509 reads years 50-99 as 1950-1999.
std::optional<std::string> UtcTimeText(const std::string& t) {
  if (t.size() != kUtcTimeLength || t.back() != 'Z' ||
      !std::all_of(t.begin(), t.end() - 1, [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  const int yy = (t[0] - '0') * 10 + (t[1] - '0');
  std::string year = std::to_string(yy < 50 ? 2000 + yy : 1900 + yy);
  return year + "/" + t.substr(2, 2) + "/" + t.substr(4, 2) + " " + t.substr(6, 2) + ":" +
         t.substr(8, 2) + ":" + t.substr(10, 2);
}

std::vector<WapiEnumBuffer> EnumBuffers() {
  return std::vector<WapiEnumBuffer>(wapi::kEnumBufferCount, WapiEnumBuffer(wapi::kEnumBufferSize));
}

// The library's count as an index bound: never below 0, never past the buffers it was given.
size_t UsableCount(int count) {
  return static_cast<size_t>(std::clamp<int>(count, 0, static_cast<int>(wapi::kEnumBufferCount)));
}

uint32_t KindWord(const WapiEnumBuffer& buffer) {
  return static_cast<uint32_t>(buffer[0]) | (static_cast<uint32_t>(buffer[1]) << 8) |
         (static_cast<uint32_t>(buffer[2]) << 16) | (static_cast<uint32_t>(buffer[3]) << 24);
}

}  // namespace

bool IsCerFileName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  return AsciiUppered(std::string_view(path).substr(dot + 1)) == "CER";
}

std::string FormatFiletimeExpiry(uint64_t filetime) {
  const auto seconds = static_cast<std::time_t>(static_cast<int64_t>(filetime / kTicksPerSecond) -
                                                kEpochDifferenceSeconds);
  struct tm parts {};
  if (gmtime_r(&seconds, &parts) == nullptr) return {};
  return CalendarText(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                      parts.tm_min, parts.tm_sec);
}

std::string CountedText(std::span<const uint8_t> field) {
  if (field.empty()) return {};
  const size_t length = std::min<size_t>(field[0], field.size() - 1);
  return std::string(reinterpret_cast<const char*>(field.data() + 1), length);
}

std::string FormatEnumeratedExpiry(uint32_t kindWord, std::span<const uint8_t> validFrom,
                                   std::span<const uint8_t> validTo) {
  if (kindWord != 0) {
    auto firstFour = [](std::span<const uint8_t> field) {
      std::string hex;
      char digits[3];
      for (size_t i = 1; i <= 4; ++i) {
        std::snprintf(digits, sizeof digits, "%02X", i < field.size() ? field[i] : 0);
        hex += digits;
      }
      return hex;
    };
    return firstFour(validFrom) + "-" + firstFour(validTo);
  }
  const std::string end = CountedText(validTo);
  if (auto calendar = UtcTimeText(end)) return *calendar;
  return CountedText(validFrom) + "-" + end;
}

WapiCertDetails CertificateInfoDetails(const CertificateManagerModule* manager, WapiCertKind kind,
                                       const std::string& path) {
  if (manager == nullptr || path.empty()) return {};
  auto info = manager->GetCertInfo(kind, path);
  if (!info) return {};
  return {info->issuedTo, info->issuedBy, FormatFiletimeExpiry(info->expiryFiletime)};
}

void ClearWapiCertificates(WapiCertificateCalls& library) {
  std::vector<WapiEnumBuffer> buffers = EnumBuffers();
  int count = 0;
  if (library.EnumSystemCertificate(count, buffers) != 0) return;
  // From the top down, so each index still names the certificate it named in the enumeration.
  for (size_t index = UsableCount(count); index > 0; --index) {
    library.DeleteCertificate(static_cast<int>(index - 1));
  }
}

WapiInstallOutcome InstallAndShowCertificate(WapiCertificateCalls& library, WapiCertKind kind,
                                             const std::string& path) {
  WapiInstallOutcome outcome;
  WapiCertRecordBuffer record{};
  WapiCertExtraBuffer extra{};
  if (library.LoadCertificate(kind, path, record, extra) != 0) {
    outcome.refusal = IDS_ERROR_LOAD_CER;
    return outcome;
  }
  if (library.SetupCertificate(kind, path, record, extra) != 0) {
    outcome.refusal = IDS_ERROR_SETUP_CER;
    return outcome;
  }
  std::vector<WapiEnumBuffer> buffers = EnumBuffers();
  int count = 0;
  if (library.EnumSystemCertificate(count, buffers) != 0) return outcome;
  const size_t usable = std::min(UsableCount(count), buffers.size());
  for (size_t i = 0; i < usable; ++i) {
    if (buffers[i].size() < wapi::kEnumBufferSize) continue;
    WapiCertParamBuffers params;
    if (library.GetCertificateManagerParam(buffers[i], params) != 0) continue;
    outcome.details = WapiCertDetails{
        CountedText(params.subject), CountedText(params.issuer),
        FormatEnumeratedExpiry(KindWord(buffers[i]), params.validFrom, params.validTo)};
  }
  return outcome;
}

}  // namespace ov
