#!/usr/bin/env python3
"""Writes the seed corpus of the two fuzz targets: hand-made scan-list entries (one steering
octet, then the entry) and small pcap files. Run from this folder; the output is committed."""
import struct

def el(i, body): return bytes([i, len(body)]) + body
def suite(oui, t): return bytes(oui) + bytes([t])
IEEE, WFA, CISCO, WAPI, BCM = (0, 0x0F, 0xAC), (0, 0x50, 0xF2), (0, 0x40, 0x96), (0, 0x14, 0x72), (0, 0x90, 0x4C)
def slist(*s): return struct.pack('<H', len(s)) + b''.join(s)
def wps_attr(t, v): return struct.pack('>HH', t, len(v)) + v

def entry(elements, infrastructure=1, bssid=b'\x02\x00\x5e\x00\x00\x01', ssid=b'seed'):
    fixed = struct.pack('<I', 116 + len(elements)) + bssid + b'\0\0'
    fixed += struct.pack('<I', len(ssid)) + ssid.ljust(32, b'\0')
    fixed += struct.pack('<IiI', 1, -55, 3)
    fixed += struct.pack('<8I', 32, 100, 0, 2437000, 0, 0, 0, 0)
    fixed += struct.pack('<I', infrastructure) + bytes([0x82, 0x84, 0x8B, 0x96, 0x0C, 0x12, 0x18, 0x24]).ljust(16, b'\0')
    fixed += struct.pack('<I', len(elements))
    assert len(fixed) == 116
    return fixed + elements

rsn = el(48, struct.pack('<H', 1) + suite(IEEE, 4) + slist(suite(IEEE, 2), suite(IEEE, 4)) + slist(suite(IEEE, 2)) + b'\0\0')
wpa = el(221, suite(WFA, 1) + struct.pack('<H', 1) + suite(WFA, 2) + slist(suite(WFA, 2)) + slist(suite(WFA, 2)))
wps = el(221, suite(WFA, 4) + wps_attr(0x104A, b'\x10') + wps_attr(0x1044, b'\x02') + wps_attr(0x1057, b'\x01')
         + wps_attr(0x1041, b'\x01') + wps_attr(0x1012, b'\x00\x04') + wps_attr(0x1047, bytes(range(16)))
         + wps_attr(0x1008, b'\x00\x86') + wps_attr(0x103C, b'\x03') + wps_attr(0x101A, bytes(16)))
htcap = el(45, struct.pack('<HB', 0x11EF, 0x1B) + bytes([0xFF, 0xFF] + [0] * 10 + [1, 0, 0, 0]) + bytes(10))
htop = el(61, bytes([6, 0x0F]) + struct.pack('<HH', 0x0006, 0x0FC0) + bytes([0xFF] + [0] * 15))
wapi = el(68, struct.pack('<H', 1) + slist(suite(WAPI, 2), suite(WAPI, 1)) + slist(suite(WAPI, 1)) + suite(WAPI, 1) + b'\0\0')
cisco = el(221, suite(CISCO, 0) + struct.pack('<H', 1) + suite(CISCO, 1) + slist(suite(WFA, 2)) + slist(suite(CISCO, 0)))
extra = el(52, bytes(6) + bytes([0, 0x0C, 0, 0]) + bytes([81, 6, 7])) + el(62, b'\x03') + el(127, b'\x01')
bcm = el(221, suite(BCM, 0x33) + bytes(26)) + el(221, suite(BCM, 0x34) + bytes(22))
ssid = el(0, b'seed')

seeds = {
    'rsn_wpa_wps_ht': bytes([2]) + entry(ssid + rsn + wpa + htcap + htop + wps),
    'wapi_cisco_misc': bytes([2]) + entry(ssid + wapi + cisco + extra + bcm),
    'adhoc_wpa_old_system': bytes([3]) + entry(el(0, b'') + wpa + el(42, b''), infrastructure=0),
    'lengths_as_written': bytes([0]) + entry(ssid + rsn)[:-7],
}
for name, data in seeds.items():
    open(f'corpus/entries/{name}', 'wb').write(data)

def frame(subtype, elements, bssid=b'\x02\x00\x5e\x00\x00\x02'):
    return bytes([subtype << 4, 0, 0, 0]) + b'\xff' * 6 + bssid + bssid + b'\x10\0' + bytes(8) + struct.pack('<HH', 100, 0x0411) + elements

def pcap(link, records):
    out = struct.pack('<IHHiIII', 0xA1B2C3D4, 2, 4, 0, 0, 65535, link)
    for r in records: out += struct.pack('<IIII', 0, 0, len(r), len(r)) + r
    return out

beacon = frame(8, ssid + el(1, bytes([0x82, 0x84, 0x0C])) + el(3, b'\x06') + rsn + htcap + htop + wps)
probe = frame(5, el(0, b'') + el(3, b'\x01') + wpa)
radiotap = struct.pack('<BBHI', 0, 0, 15, 0x2E) + bytes([0x10, 0x02]) + struct.pack('<HH', 2437, 0xA0) + bytes([0xBA])
prism = struct.pack('<II', 0x44, 16) + bytes(8)
open('corpus/pcap/ieee80211', 'wb').write(pcap(105, [beacon, probe, b'\x08\x00' + bytes(30)]))
open('corpus/pcap/radiotap_fcs', 'wb').write(pcap(127, [radiotap + beacon + b'\xde\xad\xbe\xef']))
open('corpus/pcap/prism', 'wb').write(pcap(119, [prism + probe]))
