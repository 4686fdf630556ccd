#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>

// Where tests find the outside material they check against. The captures, profile samples and
// tables live in the repository (tests/data, with their origin in its README), so a bare clone
// tests on its own. The published profile schemas are not copied: they are read from the
// reference folder beside the checkout, and a test that needs them skips when it is absent.
namespace ov::test {

inline std::filesystem::path TestData() { return OVUI_TEST_DATA; }

inline std::filesystem::path PublishedSchemaWrapper() {
  return std::filesystem::path(OVUI_ORACLES) / "xsd" / "_all_l2_wrapper.xsd";
}

// Empty when a document can be validated against the published schemas; otherwise the reason
// it cannot, in one line.
inline std::string SchemaValidationUnavailable() {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(PublishedSchemaWrapper(), ec)) {
    return "the published schemas are absent (" + PublishedSchemaWrapper().string() + ")";
  }
  if (std::system("xmllint --version >/dev/null 2>&1") != 0) {
    return "xmllint is not installed (Debian package libxml2-utils)";
  }
  return {};
}

}  // namespace ov::test

// Ends the current test as skipped, with the reason, when schema validation cannot run.
#define OV_SKIP_WITHOUT_PUBLISHED_SCHEMAS()                                                   \
  do {                                                                                        \
    if (const std::string ov_schema_reason = ::ov::test::SchemaValidationUnavailable();      \
        !ov_schema_reason.empty()) {                                                          \
      GTEST_SKIP() << ov_schema_reason;                                                       \
    }                                                                                         \
  } while (false)
