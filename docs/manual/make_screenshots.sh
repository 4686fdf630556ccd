#!/usr/bin/env bash
# Takes the manual's pictures from the real program: a private X display (Xvfb), ovsimd on the
# default scenario and ovregsvc in a throw-away root, the profile "Home" stored and active as
# scripts/run.sh leaves a first run, and OvUI in English. screenshots.py then opens each page
# and panel through the accessibility bus (by the names a screen reader hears, not by pixel
# places) and grabs the window into docs/manual/images/NAME.png. Re-run it after a change to a
# page so that the pictures follow the code; a page the program does not have yet is reported
# and skipped.
#
# Usage: docs/manual/make_screenshots.sh [--bin DIR] [--out DIR] [SHOT...]
#   --bin  the programs (default: build-bench/bin or build-release/bin; a Debug build/bin works)
#   --out  where the PNG files go (default: docs/manual/images)
#   SHOT   only these pictures (names as in screenshots.py, without .png); --list names them all
# Needs (Debian): xvfb x11-apps netpbm dbus at-spi2-core python3-pyatspi.
set -euo pipefail
manual=$(cd "$(dirname "$0")" && pwd)
source "$manual/../../bench/desktop/desktop_sandbox.sh"

bin=$(sandbox_bin_default) out=$manual/images shots=()
while (($#)); do
  case $1 in
    --bin) bin=$(cd "$2" && pwd); shift 2 ;;
    --out) mkdir -p "$2"; out=$(cd "$2" && pwd); shift 2 ;;
    --list) exec /usr/bin/python3 "$manual/screenshots.py" --list ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) shots+=("$1"); shift ;;
  esac
done
python=/usr/bin/python3
[ -x "$python" ] && "$python" -c 'import pyatspi' 2>/dev/null ||
  { echo "needs pyatspi in $python (Debian: apt-get install python3-pyatspi)" >&2; exit 77; }
sandbox_need Xvfb xwd xwdtopnm pnmtopng dbus-daemon /usr/libexec/at-spi-bus-launcher \
  "$bin/OvUI" "$bin/ovsimd" "$bin/ovregsvc" "$bin/ovuictl"

sandbox_start "$bin" --no-tray
sandbox_accessibility_bus
export XDG_CACHE_HOME=$sandbox_root/cache
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0 LANG=C.UTF-8
unset LC_ALL LC_MESSAGES

# A first run's state: the scenario's WPA2 network stored as "Home" and connected; two more
# profiles (an 802.1X one for the editor's 802.1X tab, an open one) so the list shows its kinds.
for _ in $(seq 100); do "$bin/ovuictl" status 2>/dev/null | grep -q "^  NIC ready: *yes" && break; sleep 0.1; done
printf '[Office]\r\nSSID=Orvane-Corp\r\nNetworkType=1\r\nAuthMode=6\r\nCipherMode=6\r\nUse8021X=1\r\nAuthenProtocol=0\r\nTunnelProtocol=26\r\nID=alice\r\nTunnelID=alice\r\n' \
  >"$sandbox_root/office.prof"
printf '[Cafe]\r\nSSID=Orvane-Open\r\nNetworkType=1\r\nAuthMode=0\r\nCipherMode=1\r\n' >"$sandbox_root/cafe.prof"
for profile in "$here/data/scenarios/default-home.prof" "$sandbox_root/office.prof" "$sandbox_root/cafe.prof"; do
  "$bin/ovuictl" profile import "$profile" >/dev/null
done
"$bin/ovuictl" profile activate Home >/dev/null
# The logon component installed, so that the bar has its Single Sign-On page.
"$bin/ovuictl" reg set 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Winlogon\Orvane' \
  SSOInstall REG_SZ 1 >/dev/null

sandbox_ovui "$bin"
sandbox_open_window "$bin"

status=0
"$python" "$manual/screenshots.py" --pid "$ovui_pid" --out "$out" \
  --language "$bin/Languages/Lang0409.ini" ${shots[@]+"${shots[@]}"} || status=$?
# The WAPI tab, which the shipped options keep off, from the editor preview with the default
# run's certificates loaded.
if ((${#shots[@]} == 0)) || [[ " ${shots[*]} " == *" profile-editor-wapi "* ]]; then
  "$bin/ovui_editor_preview" --tab=3 --wapi-certs="$here/data/scenarios/wapi" \
    --screenshot="$out/profile-editor-wapi.png" >/dev/null 2>&1 || status=1
fi
if ((status)); then
  echo "--- OvUI's output:" >&2
  tail -n 30 "$sandbox_root/OvUI.log" >&2
fi
exit "$status"
