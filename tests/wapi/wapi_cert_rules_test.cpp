// The WAPI tab's rules: the file Browse takes, the expiry texts, the clearing of the library's
// certificates and the details shown after an install, over a double of the WAPI library.
#include <gtest/gtest.h>

#include <cstring>

#include "profilepages/wapi_cert_rules.h"

namespace ov {
namespace {

// A counted field: length byte, then the text.
std::vector<uint8_t> Counted(const std::string& text, size_t fieldSize = wapi::kTimeFieldSize) {
  std::vector<uint8_t> field(fieldSize, 0);
  field[0] = static_cast<uint8_t>(text.size());
  std::memcpy(field.data() + 1, text.data(), std::min(text.size(), fieldSize - 1));
  return field;
}

template <size_t N>
void PutCounted(std::array<uint8_t, N>& field, const std::string& text, int lengthByte = -1) {
  field.fill(0);
  field[0] = static_cast<uint8_t>(lengthByte >= 0 ? lengthByte : static_cast<int>(text.size()));
  std::memcpy(field.data() + 1, text.data(), std::min(text.size(), N - 1));
}

TEST(WapiCertRules, BrowseTakesCerFilesInAnyCase) {
  const struct {
    const char* path;
    bool taken;
  } rows[] = {
      {"/home/u/user.cer", true},   {"/home/u/user.Cer", true},     {"/home/u/USER.CER", true},
      {"/home/u/user.crt", false},  {"/home/u/user.cer.pem", false}, {"/home/u/cer", false},
      {"/home/u.cer/user", false},  {"/home/u/.cer", true},          {"", false},
  };
  for (const auto& row : rows) EXPECT_EQ(IsCerFileName(row.path), row.taken) << row.path;
}

TEST(WapiCertRules, FiletimeExpiryIsTheUtcCalendarTime) {
  const struct {
    const char* name;
    uint64_t filetime;
    const char* text;
  } rows[] = {
      {"start of the FILETIME era", 0, "1601/01/01 00:00:00"},
      {"the Unix epoch", 116444736000000000ull, "1970/01/01 00:00:00"},
      {"end of 2025", 134116991990000000ull, "2025/12/31 23:59:59"},
      {"sub-second ticks drop", 134116991999999999ull, "2025/12/31 23:59:59"},
      {"59 days after 1 January 2001", 126227808000000000ull + 59ull * 86400 * 10000000,
       "2001/03/01 00:00:00"},
      {"29 February 2000", 125962560000000000ull, "2000/02/29 00:00:00"},
  };
  for (const auto& row : rows) EXPECT_EQ(FormatFiletimeExpiry(row.filetime), row.text) << row.name;
}

TEST(WapiCertRules, EnumeratedExpiryFollowsTheKindAndTheTimeForm) {
  const struct {
    const char* name;
    uint32_t kind;
    std::vector<uint8_t> from;
    std::vector<uint8_t> to;
    const char* text;
  } rows[] = {
      {"UTC time", 0, Counted("250101000000Z"), Counted("251231235959Z"), "2025/12/31 23:59:59"},
      {"UTC time before 2000", 0, Counted("970101000000Z"), Counted("991231235959Z"),
       "1999/12/31 23:59:59"},
      {"UTC time of 2049", 0, Counted("250101000000Z"), Counted("490630120000Z"),
       "2049/06/30 12:00:00"},
      {"generalised time", 0, Counted("20250101000000Z"), Counted("20551231235959Z"),
       "20250101000000Z-20551231235959Z"},
      {"13 characters that are no time", 0, Counted("start"), Counted("25123123595XZ"),
       "start-25123123595XZ"},
      {"empty end", 0, Counted("250101000000Z"), Counted(""), "250101000000Z-"},
      {"raw validity of another kind", 1, {4, 0x5F, 0x1E, 0x2D, 0x3C}, {4, 0x7A, 0x0B, 0xC0, 0x01},
       "5F1E2D3C-7A0BC001"},
      {"raw validity, short fields", 7, {1, 0xAB}, {0}, "AB000000-00000000"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FormatEnumeratedExpiry(row.kind, row.from, row.to), row.text) << row.name;
  }
}

TEST(WapiCertRules, CountedTextStopsAtItsLengthAndItsField) {
  EXPECT_EQ(CountedText(std::vector<uint8_t>{3, 'a', 'b', 'c', 'd'}), "abc");
  EXPECT_EQ(CountedText(std::vector<uint8_t>{200, 'a', 'b'}), "ab");
  EXPECT_EQ(CountedText(std::vector<uint8_t>{}), "");
  EXPECT_EQ(CountedText(std::vector<uint8_t>{0, 'x'}), "");
}

// The WAPI library as a list of held certificates, recording every call.
class FakeWapiLibrary final : public WapiCertificateCalls {
 public:
  struct Held {
    uint32_t kind = 0;
    std::string subject, issuer, from, to;
  };
  std::vector<Held> held;
  std::optional<int> reportedCount;  // a count other than the list's, as a faulty library says
  int loadResult = 0, setupResult = 0, enumResult = 0;
  std::vector<int> deleted;
  std::vector<std::string> calls;

  int LoadCertificate(WapiCertKind kind, const std::string& path, WapiCertRecordBuffer& record,
                      WapiCertExtraBuffer&) override {
    calls.push_back(std::string(kind == WapiCertKind::User ? "load user " : "load AS ") + path);
    record[0] = kind == WapiCertKind::User ? 1 : 2;
    return loadResult;
  }
  int SetupCertificate(WapiCertKind kind, const std::string& path, const WapiCertRecordBuffer& record,
                       const WapiCertExtraBuffer&) override {
    calls.push_back(std::string(kind == WapiCertKind::User ? "setup user " : "setup AS ") + path);
    EXPECT_EQ(record[0], kind == WapiCertKind::User ? 1 : 2) << "setup gets the loaded record";
    return setupResult;
  }
  int EnumSystemCertificate(int& count, std::vector<WapiEnumBuffer>& buffers) override {
    calls.push_back("enum");
    EXPECT_EQ(buffers.size(), wapi::kEnumBufferCount);
    for (const WapiEnumBuffer& b : buffers) EXPECT_EQ(b.size(), wapi::kEnumBufferSize);
    if (enumResult != 0) return enumResult;
    for (size_t i = 0; i < held.size() && i < buffers.size(); ++i) {
      std::memcpy(buffers[i].data(), &held[i].kind, 4);
      buffers[i][wapi::kEnumCertificateOffset] = static_cast<uint8_t>(i + 1);  // 0: not filled
    }
    count = reportedCount.value_or(static_cast<int>(held.size()));
    return 0;
  }
  int GetCertificateManagerParam(const WapiEnumBuffer& enumerated, WapiCertParamBuffers& out) override {
    const size_t mark = enumerated[wapi::kEnumCertificateOffset];
    if (mark == 0 || mark > held.size()) return 13;
    const size_t i = mark - 1;
    PutCounted(out.subject, held[i].subject);
    PutCounted(out.issuer, held[i].issuer);
    PutCounted(out.validFrom, held[i].from);
    PutCounted(out.validTo, held[i].to);
    return 0;
  }
  int DeleteCertificate(int index) override {
    deleted.push_back(index);
    if (index < 0 || static_cast<size_t>(index) >= held.size()) return 87;
    held.erase(held.begin() + index);
    return 0;
  }
};

std::vector<FakeWapiLibrary::Held> Certificates(size_t n) {
  std::vector<FakeWapiLibrary::Held> out;
  for (size_t i = 0; i < n; ++i) {
    out.push_back({0, "station " + std::to_string(i), "as " + std::to_string(i), "250101000000Z",
                   "3012312359" + std::to_string(i % 10) + "0Z"});
  }
  return out;
}

TEST(WapiCertRules, ClearingDeletesEveryHeldCertificateFromTheLastIndexDown) {
  const struct {
    const char* name;
    size_t held;
    std::optional<int> reported;
    int enumResult;
    std::vector<int> deleted;
    size_t left;
  } rows[] = {
      {"nothing held", 0, std::nullopt, 0, {}, 0},
      {"one held", 1, std::nullopt, 0, {0}, 0},
      {"three held", 3, std::nullopt, 0, {2, 1, 0}, 0},
      {"a count over the 32 buffers is cut to 32", 32, 40, 0, {}, 0},
      {"a negative count deletes nothing", 2, -5, 0, {}, 2},
      {"a failed enumeration deletes nothing", 2, std::nullopt, 5, {}, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FakeWapiLibrary library;
    library.held = Certificates(row.held);
    library.reportedCount = row.reported;
    library.enumResult = row.enumResult;
    ClearWapiCertificates(library);
    if (row.reported.value_or(0) > 32) {
      std::vector<int> expected;
      for (int i = 31; i >= 0; --i) expected.push_back(i);
      EXPECT_EQ(library.deleted, expected);
    } else {
      EXPECT_EQ(library.deleted, row.deleted);
    }
    EXPECT_EQ(library.held.size(), row.left);
  }
}

TEST(WapiCertRules, InstallShowsTheLastHeldCertificateOrTheRefusal) {
  const struct {
    const char* name;
    int load, setup, enumerate;
    size_t held;
    std::optional<int> reported;
    std::optional<LanguageKey> refusal;
    std::optional<WapiCertDetails> details;
    std::vector<std::string> calls;
  } rows[] = {
      {"one held", 0, 0, 0, 1, std::nullopt, std::nullopt,
       WapiCertDetails{"station 0", "as 0", "2030/12/31 23:59:00"},
       {"load user /c/u.cer", "setup user /c/u.cer", "enum"}},
      {"the last of three stays", 0, 0, 0, 3, std::nullopt, std::nullopt,
       WapiCertDetails{"station 2", "as 2", "2030/12/31 23:59:20"},
       {"load user /c/u.cer", "setup user /c/u.cer", "enum"}},
      {"load fails", 2, 0, 0, 1, std::nullopt, IDS_ERROR_LOAD_CER, std::nullopt,
       {"load user /c/u.cer"}},
      {"setup fails", 0, 13, 0, 1, std::nullopt, IDS_ERROR_SETUP_CER, std::nullopt,
       {"load user /c/u.cer", "setup user /c/u.cer"}},
      {"enumeration fails", 0, 0, 5, 1, std::nullopt, std::nullopt, std::nullopt,
       {"load user /c/u.cer", "setup user /c/u.cer", "enum"}},
      {"nothing held", 0, 0, 0, 0, std::nullopt, std::nullopt, std::nullopt,
       {"load user /c/u.cer", "setup user /c/u.cer", "enum"}},
      {"a count past the held ones reads only what describes", 0, 0, 0, 2, 40, std::nullopt,
       WapiCertDetails{"station 1", "as 1", "2030/12/31 23:59:10"},
       {"load user /c/u.cer", "setup user /c/u.cer", "enum"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FakeWapiLibrary library;
    library.held = Certificates(row.held);
    library.reportedCount = row.reported;
    library.loadResult = row.load;
    library.setupResult = row.setup;
    library.enumResult = row.enumerate;
    WapiInstallOutcome outcome = InstallAndShowCertificate(library, WapiCertKind::User, "/c/u.cer");
    EXPECT_EQ(outcome.refusal, row.refusal);
    EXPECT_EQ(outcome.details, row.details);
    EXPECT_EQ(library.calls, row.calls);
  }
}

TEST(WapiCertRules, InstallReadsNamesOnlyAsFarAsTheirLengthByte) {
  FakeWapiLibrary library;
  library.held = {{0, std::string(300, 'n'), "short", "x", "251231235959Z"}};
  WapiInstallOutcome outcome = InstallAndShowCertificate(library, WapiCertKind::As, "/c/as.cer");
  ASSERT_TRUE(outcome.details);
  // The length byte holds 300 mod 256 = 44.
  EXPECT_EQ(outcome.details->issuedTo, std::string(44, 'n'));
  EXPECT_EQ(outcome.details->issuedBy, "short");
  EXPECT_EQ(outcome.details->expiresOn, "2025/12/31 23:59:59");
}

TEST(WapiCertRules, DetailsWithoutTheCertificateManagerAreEmpty) {
  EXPECT_EQ(CertificateInfoDetails(nullptr, WapiCertKind::User, "/c/u.cer"), WapiCertDetails{});
  CertificateManagerModule notLoaded;
  EXPECT_EQ(CertificateInfoDetails(&notLoaded, WapiCertKind::As, "/c/as.cer"), WapiCertDetails{});
}

}  // namespace
}  // namespace ov
