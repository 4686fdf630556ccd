// The direct registry writer: the operations the parameter code and its callers write with.
#include <gtest/gtest.h>

#include "driver/params/registry_writer.h"
#include "tests/params/registry_sandbox.h"

namespace ov {
namespace {

using test::kAdapterKey;

class DirectRegistryWriterTest : public test::RegistrySandbox {
 protected:
  DirectRegistryWriter writer;
};

TEST_F(DirectRegistryWriterTest, WritesCreateAndDeleteAsTheRegistryDoes) {
  const std::string sub = std::string(kAdapterKey) + "\\Default";
  // A value needs its key: a write to a missing key fails rather than creating it.
  EXPECT_EQ(writer.SetValue(HKEY_LOCAL_MACHINE, kAdapterKey, "Radio", REG_SZ, "1"),
            ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(writer.CreateKey(HKEY_LOCAL_MACHINE, sub), ERROR_SUCCESS);
  ASSERT_EQ(writer.CreateKey(HKEY_LOCAL_MACHINE, sub), ERROR_SUCCESS);  // opening again is fine
  ASSERT_EQ(writer.SetValue(HKEY_LOCAL_MACHINE, kAdapterKey, "Radio", REG_SZ, "1"),
            ERROR_SUCCESS);
  auto radio = Get(kAdapterKey, "Radio");
  ASSERT_TRUE(radio);
  EXPECT_EQ(radio->type, REG_SZ);
  EXPECT_EQ(radio->data, "1");  // stored exactly as given

  EXPECT_EQ(writer.DeleteValue(HKEY_LOCAL_MACHINE, kAdapterKey, "Radio"), ERROR_SUCCESS);
  EXPECT_EQ(Get(kAdapterKey, "Radio"), std::nullopt);
  EXPECT_EQ(writer.DeleteValue(HKEY_LOCAL_MACHINE, kAdapterKey, "Radio"), ERROR_FILE_NOT_FOUND);

  PutString(sub + "\\Inner", "x", "1");
  EXPECT_EQ(writer.DeleteKey(HKEY_LOCAL_MACHINE, kAdapterKey, "Default"), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(KeyExists(sub));
  EXPECT_EQ(writer.DeleteKeyTree(HKEY_LOCAL_MACHINE, kAdapterKey, "Default"), ERROR_SUCCESS);
  EXPECT_FALSE(KeyExists(sub));
  EXPECT_TRUE(KeyExists(kAdapterKey));
}

TEST_F(DirectRegistryWriterTest, AnEmptySubkeyNameNeverDeletesTheParent) {
  PutString(kAdapterKey, "Radio", "0");
  EXPECT_EQ(writer.DeleteKey(HKEY_LOCAL_MACHINE, kAdapterKey, ""), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(writer.DeleteKeyTree(HKEY_LOCAL_MACHINE, kAdapterKey, ""), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(KeyExists(kAdapterKey));
}

}  // namespace
}  // namespace ov
