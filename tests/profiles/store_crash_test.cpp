// A writer killed in the middle of saving a profile never loses another profile.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "profiles/profile_store.h"
#include "tests/profiles/store_test_support.h"

namespace ov {
namespace {

std::vector<ProfileStore::KeyValue> Values(const std::string& tag) {
  std::vector<ProfileStore::KeyValue> values;
  for (std::string_view key : ProfileKeyList) {
    // The blob keys live elsewhere; SSID_inHex is set by every SSID write.
    if (key == "EapConfigBlob" || key == "EapConfigBlobLen" || key == "SSID_inHex") continue;
    values.emplace_back(std::string(key), tag + "-" + std::string(key));
  }
  return values;
}

TEST(StoreCrashSafety, KilledSaverNeverLosesAnotherProfile) {
  test::TempDir dir;
  test::MarkerSecretCodec codec;
  ProfileStore store(test::LocationIn(dir), &codec, true);
  // Many neighbours, so that each save rewrites a file of some size.
  for (int i = 0; i < 50; ++i) {
    std::string name = "Keep" + std::to_string(i);
    ASSERT_TRUE(store.WriteStoreValues(StoreFileKind::Profiles, name, Values(name)));
    ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::ProfilesBlob, name, "EapConfigBlob", "C0FFEE"));
  }
  for (int round = 0; round < 8; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    if (child == 0) {
      // Saves the way the editor does (clear, then one write per key) and deletes and re-adds
      // blob records, without end; says how far it got after every step.
      close(ready[0]);
      ProfileStore writer(test::LocationIn(dir), &codec, true);
      for (int i = 0;; ++i) {
        writer.ClearProfileSection("Busy", true);
        for (const auto& [key, value] : Values("busy" + std::to_string(i))) {
          writer.WriteStoreValue(StoreFileKind::Profiles, "Busy", key, value);
          (void)!write(ready[1], "x", 1);
        }
        writer.WriteStoreValue(StoreFileKind::ProfilesBlob, "Busy", "EapConfigBlob", "AB");
        writer.DeleteProfileSection("Busy");
      }
    }
    close(ready[1]);
    // Let the writer get a different distance into its work each round, then kill it.
    char buffer[64];
    size_t seen = 0;
    while (seen < static_cast<size_t>(7 + round * 13)) {
      ssize_t n = read(ready[0], buffer, sizeof buffer);
      if (n <= 0) break;
      seen += static_cast<size_t>(n);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(ready[0]);

    ProfileStore reader(test::LocationIn(dir), &codec, true);
    for (int i = 0; i < 50; ++i) {
      std::string name = "Keep" + std::to_string(i);
      for (const auto& [key, value] : Values(name)) {
        ASSERT_EQ(reader.ReadStoreValue(StoreFileKind::Profiles, name, key), value)
            << name << " " << key;
      }
      ASSERT_EQ(reader.ReadStoreValue(StoreFileKind::ProfilesBlob, name, "EapConfigBlob", 6),
                "C0FFEE") << name;
    }
  }
}

}  // namespace
}  // namespace ov
