#pragma once
#include <memory>

#include "driver/discovery/adapter_discovery.h"
#include "driver/discovery/net_devices.h"
#include "driver/oid_channel.h"
#include "platform/deviceio/device_io.h"
#include "platform/time/timer_service.h"
#include "shell/monitor_seams.h"

// The monitor's adapter over the registry's device list, the device sockets and the OID channel.
namespace ov {

class DriverMonitorAdapter final : public MonitorAdapter {
 public:
  // `timers` serves the channel's retries; `chooser` (may be null: the first adapter) picks one
  // of several. Both must outlive this object.
  DriverMonitorAdapter(TimerService& timers, DeviceIdTables tables, OsVersionCode code,
                       AdapterChooser* chooser);

  bool DiscoverAdapter(AdapterInfo& info) override;
  bool IsDevicePresent() override;
  OidRequester& Driver() override { return channel_; }
  void ClearUsbMatch() override { discovery_.clearUsbMatch(); }

  AdapterDiscovery& Discovery() { return discovery_; }

 private:
  RegistryNetDeviceSource devices_;
  SocketDeviceIo deviceIo_;
  OidChannel channel_;
  AdapterDiscovery discovery_;
};

}  // namespace ov
