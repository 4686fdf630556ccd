#include "shell/monitor_adapter.h"

namespace ov {

DriverMonitorAdapter::DriverMonitorAdapter(TimerService& timers, DeviceIdTables tables,
                                           OsVersionCode code, AdapterChooser* chooser)
    : channel_(deviceIo_, timers), discovery_(devices_, deviceIo_, channel_, std::move(tables), code) {
  channel_.setOsVersionCode(code);
  discovery_.setChooser(chooser);
}

bool DriverMonitorAdapter::DiscoverAdapter(AdapterInfo& info) {
  if (!discovery_.DiscoverAdapter(info)) return false;
  channel_.setDevicePath(info.devicePath);
  return true;
}

bool DriverMonitorAdapter::IsDevicePresent() {
  return !channel_.devicePath().empty() && channel_.IsDevicePresent();
}

}  // namespace ov
