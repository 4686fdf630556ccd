#!/usr/bin/env bash
# End-to-end tests of OvUI through the accessibility bus, as a screen reader sees it: a private X
# display (Xvfb), a private session bus with the accessibility bus (at-spi2-core), ovsimd and
# ovregsvc in a throw-away root, and OvUI with its accessibility bridge on; then the tests in
# atspi_tests.py drive it with pyatspi (Debian's python3-pyatspi, run by /usr/bin/python3).
#
# Usage: tests/a11y/atspi/run_atspi.sh --bin DIR [--dump] [TEST_NAME...]
#   --dump prints the window's tree as the bus shows it (role, name, description) first.
# Exit 77 (skipped) with a one-line reason when a package or program is missing.
set -euo pipefail
harness=$(cd "$(dirname "$0")" && pwd)
source "$harness/../../../bench/desktop/desktop_sandbox.sh"

bin=$(sandbox_bin_default)
tests=()
while (($#)); do
  case $1 in
    --bin) bin=$2; shift 2 ;;
    --dump) tests+=("$1"); shift ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) tests+=("$1"); shift ;;
  esac
done

skip() { echo "skipped: $*" >&2; exit 77; }
bus_launcher=/usr/libexec/at-spi-bus-launcher
python=/usr/bin/python3
command -v Xvfb >/dev/null || skip "needs Xvfb (Debian: apt-get install xvfb)"
command -v dbus-daemon >/dev/null || skip "needs dbus-daemon (Debian: apt-get install dbus)"
[ -x "$bus_launcher" ] || skip "needs $bus_launcher (Debian: apt-get install at-spi2-core)"
[ -x "$python" ] && "$python" -c 'import pyatspi' 2>/dev/null ||
  skip "needs pyatspi in $python (Debian: apt-get install python3-pyatspi)"
for p in OvUI ovsimd ovregsvc; do [ -x "$bin/$p" ] || skip "needs $bin/$p (build it first)"; done

# Display, root and daemons; sandbox_stop (the EXIT trap) ends everything started below too.
sandbox_start "$bin" --no-tray

sandbox_accessibility_bus
# Caches (fonts) stay in the throw-away root too.
export XDG_CACHE_HOME=$sandbox_root/cache
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0 LANG=C.UTF-8
unset LC_ALL LC_MESSAGES
sandbox_ovui "$bin"
sandbox_open_window "$bin"

status=0
"$python" "$harness/atspi_tests.py" --pid "$ovui_pid" --root "$OVUI_ROOT" \
  --scenario "$here/data/scenarios/default.json" \
  --language "$bin/Languages/Lang0409.ini" ${tests[@]+"${tests[@]}"} || status=$?
if ((status)); then
  echo "--- OvUI's output:" >&2
  cat "$sandbox_root/OvUI.log" >&2
fi
exit "$status"
