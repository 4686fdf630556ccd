#!/usr/bin/env bash
# Builds the programs in Release and runs them against a sandbox machine root: the simulated
# adapters and access points (ovsimd with the default scenario), the registry service, then the
# utility itself. The daemons stop when the utility ends.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh" build-release Release -DOVUI_BUILD_TESTS=OFF -DOVUI_BUILD_BENCH=OFF
bin="$here/build-release/bin"
export OVUI_ROOT=${OVUI_ROOT:-$here/build-release/sandbox}
mkdir -p "$OVUI_ROOT"
scenario=${OVUI_SCENARIO:-$here/data/scenarios/default.json}

pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true' EXIT

# start_daemon NAME ARGS...: starts a daemon with its log under the root and waits for its
# "NAME ready" line.
start_daemon() {
  local name=$1; shift
  local log="$OVUI_ROOT/$name.log"
  "$bin/$name" "$@" >"$log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    grep -q "$name ready" "$log" 2>/dev/null && return 0
    kill -0 "${pids[-1]}" 2>/dev/null || break
    sleep 0.1
  done
  echo "$name did not start:" >&2
  cat "$log" >&2
  exit 1
}

start_daemon ovsimd --scenario "$scenario" --root "$OVUI_ROOT"
start_daemon ovregsvc --root "$OVUI_ROOT"
# A simulated adapter reports ready a moment after it appears; the utility opens its window at
# start only for an adapter it finds then, so wait for it (at most 5 s).
for _ in $(seq 50); do
  "$bin/ovuictl" status 2>/dev/null | grep -q "^  NIC ready: *yes" && break
  sleep 0.1
done

# A fresh sandbox on the default scenario gets one stored profile for the scenario's WPA2 network,
# made active, so the utility starts connected as on a machine that has been used before.
seed="$OVUI_ROOT/.default-profile-stored"
if [ "$scenario" = "$here/data/scenarios/default.json" ] && [ ! -e "$seed" ]; then
  if "$bin/ovuictl" profile import "$here/data/scenarios/default-home.prof" >/dev/null &&
     "$bin/ovuictl" profile activate Home >/dev/null; then
    touch "$seed"
  else
    echo "Could not store and activate the default profile; starting unconnected." >&2
  fi
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # Without a desktop the window and tray cannot appear: show what the utility sees instead.
  echo "No display found: showing the adapter as the utility sees it (ovuictl status)." >&2
  "$bin/ovuictl" status "$@"
else
  # OvUI opens its main window at once; closing it leaves the tray icon, whose menu's Exit ends
  # the program (and then this script stops the daemons).
  "$bin/OvUI" "$@"
fi
