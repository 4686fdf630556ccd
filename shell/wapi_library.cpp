#include <dlfcn.h>

#include "platform/system/machine_root.h"
#include "shell/connection_client.h"

namespace ov {

WapiLibrary::WapiLibrary() : library_(ProgramFolder() / kWapiLibraryName) {}

void WapiLibrary::AccessUserCancel() { Call("WAPIAPIAccessUserCancle"); }
void WapiLibrary::DisAssociate() { Call("WAPIAPIDisAssociate"); }

void WapiLibrary::Call(const char* exportName) {
  void* handle = ::dlopen(library_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return;
  using Export = void (*)();
  if (auto fn = reinterpret_cast<Export>(::dlsym(handle, exportName))) fn();
  ::dlclose(handle);
}

}  // namespace ov
