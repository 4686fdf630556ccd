#include <dlfcn.h>

#include "platform/system/machine_root.h"
#include "siblings/wapi_exports.h"
#include "shell/connection_client.h"

namespace ov {

WapiLibrary::WapiLibrary() : library_(ProgramFolder() / wapi::kWapiLibraryName) {}

void WapiLibrary::AccessUserCancel() { Call("WAPIAPIAccessUserCancle"); }
void WapiLibrary::DisAssociate() { Call("WAPIAPIDisAssociate"); }

// Never released: the library holds the certificate list the WAPI tab installed.
void WapiLibrary::Call(const char* exportName) {
  void* handle = ::dlopen(library_.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (handle == nullptr) return;
  using Export = int (*)();
  if (auto fn = reinterpret_cast<Export>(::dlsym(handle, exportName))) fn();
}

}  // namespace ov
