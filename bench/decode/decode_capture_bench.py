#!/usr/bin/env python3
"""Time and peak memory of `ovuictl decode` on captures of growing size, against tshark's field
decoding of the same files in the same run.

Each size is decoded twice: every beacon from its own BSSID (the list of networks grows with the
file), and the same number of beacons from 64 BSSIDs. The figures to read are the growth from one
size to the next (a ratio, not a machine's speed) and the peak resident memory, which must not
follow the file's size. tshark (Debian's `tshark` package) is skipped, with a note, when it is not
on PATH.

usage: decode_capture_bench.py --ovuictl PATH [--sizes 25000,50000,100000,200000] [--repeat 3]
                               [--skip-tshark]
"""
import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time


def radiotap_beacon(bssid: bytes, ssid: bytes, channel: int, signal: int) -> bytes:
    # radiotap: flags, channel (freq + flags), antenna signal dBm
    present = (1 << 1) | (1 << 3) | (1 << 5)
    freq = 2407 + 5 * channel
    header = struct.pack("<BBHI", 0, 0, 16, present) + struct.pack("<BxHHb", 0, freq, 0x00A0, signal)
    header = header.ljust(16, b"\0")
    elements = (bytes([0, len(ssid)]) + ssid + bytes([1, 8, 0x82, 0x84, 0x8B, 0x96, 0x0C, 0x12, 0x18, 0x24])
                + bytes([3, 1, channel]) + bytes([5, 4, 0, 1, 0, 0])
                + bytes([48, 20, 1, 0, 0, 0x0F, 0xAC, 4, 1, 0, 0, 0x0F, 0xAC, 4, 1, 0, 0, 0x0F, 0xAC, 2, 0, 0]))
    frame = (bytes([0x80, 0, 0, 0]) + b"\xff" * 6 + bssid + bssid + b"\x10\x00"
             + bytes(8) + struct.pack("<HH", 100, 0x0411) + elements)
    return header + frame


def write_capture(path: str, frames: int, distinct: int) -> None:
    with open(path, "wb") as out:
        out.write(struct.pack("<IHHiIII", 0xA1B2C3D4, 2, 4, 0, 0, 65535, 127))
        for i in range(frames):
            n = i % distinct
            bssid = bytes([0x02, 0x5A, (n >> 24) & 0xFF, (n >> 16) & 0xFF, (n >> 8) & 0xFF, n & 0xFF])
            record = radiotap_beacon(bssid, b"net-%d" % n, 1 + n % 11, -40 - n % 50)
            out.write(struct.pack("<IIII", i // 10, (i % 10) * 100000, len(record), len(record)))
            out.write(record)


def run_measured(argv):
    """Wall time in ms and peak resident memory in MiB of one run; its output is discarded."""
    start = time.perf_counter()
    proc = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(proc.pid, 0)
    elapsed = (time.perf_counter() - start) * 1000.0
    proc.returncode = os.waitstatus_to_exitcode(status)
    err = proc.stderr.read().decode(errors="replace")
    proc.stderr.close()
    if proc.returncode != 0:
        sys.exit("%s failed (%d): %s" % (argv[0], proc.returncode, err))
    return elapsed, usage.ru_maxrss / 1024.0


def best_of(argv, repeat):
    runs = [run_measured(argv) for _ in range(repeat)]
    return min(r[0] for r in runs), max(r[1] for r in runs)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--ovuictl", required=True)
    parser.add_argument("--sizes", default="25000,50000,100000,200000")
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--skip-tshark", action="store_true")
    args = parser.parse_args()
    sizes = [int(s) for s in args.sizes.split(",")]
    tshark = None if args.skip_tshark else shutil.which("tshark")
    if tshark is None and not args.skip_tshark:
        print("note: tshark is not on PATH (Debian package `tshark`); its column is left out")

    print("%-9s %-9s %8s | %10s %9s %9s | %10s %6s" %
          ("frames", "BSSIDs", "file MB", "ovuictl ms", "ms/size0", "peak MiB", "tshark ms", "ratio"))
    with tempfile.TemporaryDirectory(prefix="ovui-decode-bench-") as folder:
        base = {}
        for kind in ("distinct", "repeated"):
            for frames in sizes:
                distinct = frames if kind == "distinct" else 64
                path = os.path.join(folder, "%s-%d.pcap" % (kind, frames))
                write_capture(path, frames, distinct)
                ms, peak = best_of([args.ovuictl, "decode", path], args.repeat)
                base.setdefault(kind, (frames, ms))
                growth = ms / base[kind][1] if base[kind][1] > 0 else 0.0
                tshark_ms = ratio = ""
                if tshark:
                    t, _ = best_of([tshark, "-n", "-r", path, "-T", "fields", "-e", "wlan.bssid",
                                    "-e", "wlan.ssid", "-e", "wlan.fixed.capabilities.privacy",
                                    "-e", "wlan.ds.current_channel", "-e", "radiotap.dbm_antsignal"], 1)
                    tshark_ms = "%.0f" % t
                    ratio = "%.1fx" % (t / ms) if ms > 0 else ""
                print("%-9d %-9d %8.1f | %10.1f %9.2f %9.1f | %10s %6s" %
                      (frames, distinct, os.path.getsize(path) / 1e6, ms, growth, peak, tshark_ms, ratio),
                      flush=True)
                os.remove(path)
    print("ms/size0: time relative to the smallest size of the same kind (linear: the size ratio); "
          "ratio: tshark's time over ovuictl's.")


if __name__ == "__main__":
    main()
