"""A NetworkManager for the backend's tests, on the bus of DBUS_SYSTEM_BUS_ADDRESS.

dbusmock's template with one Wi-Fi device ("wlan0", disconnected) and two access points: "Cafe"
(open, 2437 MHz) and "Locked" (WPA/WPA2-PSK, 5180 MHz). The template does nothing on a scan
and always activates, so both are extended here: RequestScan moves LastScan on, and an
activation goes prepare -> activated, or prepare -> failed (no secrets) -> disconnected for
"Locked".
Prints "ready" when set up and stops when its standard input closes.
"""
import subprocess
import sys

import dbus
import dbusmock

MOCK = dbusmock.MOCK_IFACE
BUS = 'org.freedesktop.NetworkManager'
WIRELESS = 'org.freedesktop.NetworkManager.Device.Wireless'

# The template marks the device activated at once; a failure is modelled without it.
ACTIVATE = '''
conn = objects['/org/freedesktop/NetworkManager/Settings'].SettingsAddConnection(args[0])
dev = objects[args[1]]
D = 'org.freedesktop.NetworkManager.Device'
if bytes(args[0]['802-11-wireless']['ssid']) == b'Locked':
    for new, old, why in ((40, 30, 0), (120, 40, 7), (30, 120, 0)):
        dev.Set(D, 'State', dbus.UInt32(new))
        dev.EmitSignal(D, 'StateChanged', 'uuu', [dbus.UInt32(new), dbus.UInt32(old), dbus.UInt32(why)])
    ret = (conn, dbus.ObjectPath('/org/freedesktop/NetworkManager/ActiveConnection/failed'))
else:
    dev.Set(D, 'State', dbus.UInt32(40))
    dev.EmitSignal(D, 'StateChanged', 'uuu', [dbus.UInt32(40), dbus.UInt32(30), dbus.UInt32(0)])
    ret = (conn, self.activate_connection(self, conn, args[1], args[2]))
'''

SCAN = ("self.Set('%s', 'LastScan', dbus.Int64(self.Get('%s', 'LastScan') + 1000))"
        % (WIRELESS, WIRELESS))


def main():
    server, mock = dbusmock.DBusTestCase.spawn_server_template(
        'networkmanager', {}, stdout=subprocess.DEVNULL)
    bus = dbus.SystemBus()
    dev_path = mock.AddWiFiDevice('wlan0', 'wlan0', dbus.UInt32(30), dbus_interface=MOCK)
    mock.AddAccessPoint(dev_path, 'cafe', 'Cafe', '02:00:00:00:00:01', dbus.UInt32(2),
                        dbus.UInt32(2437), dbus.UInt32(54000), dbus.Byte(70), dbus.UInt32(0),
                        dbus_interface=MOCK)
    mock.AddAccessPoint(dev_path, 'locked', 'Locked', '02:00:00:00:00:02', dbus.UInt32(2),
                        dbus.UInt32(5180), dbus.UInt32(300000), dbus.Byte(40),
                        dbus.UInt32(0x188), dbus_interface=MOCK)
    dev = bus.get_object(BUS, dev_path)
    dev.AddProperty(WIRELESS, 'LastScan', dbus.Int64(5000), dbus_interface=MOCK)
    dev.AddMethod(WIRELESS, 'RequestScan', 'a{sv}', '', SCAN, dbus_interface=MOCK)
    manager = bus.get_object(BUS, '/org/freedesktop/NetworkManager')
    manager.AddMethod(BUS, 'AddAndActivateConnection', 'a{sa{sv}}oo', 'oo', ACTIVATE,
                      dbus_interface=MOCK)
    print('ready', flush=True)
    sys.stdin.read()
    server.terminate()
    server.wait()


if __name__ == '__main__':
    main()
