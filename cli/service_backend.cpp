#include "cli/service_backend.h"

#include "nativewifi/wlansvc/wlan_service_client.h"

namespace ov::cli {
namespace {

ServiceBackendFactory& Factory() {
  static ServiceBackendFactory factory;
  return factory;
}

}  // namespace

void SetServiceBackendFactory(ServiceBackendFactory factory) { Factory() = std::move(factory); }

ServiceBackend ChosenServiceBackend() {
  if (Factory()) return Factory()();
  // The socket of the machine root in force now.
  ServiceBackend socket;
  socket.service = std::make_shared<wlan::WlanServiceClient>(wlan::DefaultServiceSocketPath());
  socket.why = "the simulator's service";
  return socket;
}

}  // namespace ov::cli
