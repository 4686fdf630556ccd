// The WAPI calls reach the library's exports by name, in order; a missing library is harmless.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "shell/connection_client.h"

namespace ov {
namespace {

TEST(WapiLibrary, CallsTheExportsByName) {
  const std::string path = std::string(OVUI_BIN_DIR) + "/libFakeWapi.so";
  // Held open so that the library's record survives the loads and unloads of each call.
  void* held = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(held, nullptr) << ::dlerror();
  auto calls = reinterpret_cast<const char* (*)()>(::dlsym(held, "FakeWapiCalls"));
  ASSERT_NE(calls, nullptr);
  WapiLibrary wapi(path);
  wapi.AccessUserCancel();
  wapi.DisAssociate();
  EXPECT_STREQ(calls(), "cancel;disassociate;");
  ::dlclose(held);
}

TEST(WapiLibrary, MissingLibraryDoesNothing) {
  WapiLibrary wapi(std::string(OVUI_BIN_DIR) + "/libNoSuchWapi.so");
  wapi.AccessUserCancel();
  wapi.DisAssociate();
  SUCCEED() << "no crash, nothing to call";
}

}  // namespace
}  // namespace ov
