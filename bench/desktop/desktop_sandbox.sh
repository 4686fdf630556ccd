# Sourced by the desktop benchmarks: a private X display (Xvfb) with a tray host (trayer), and
# ovsimd (default scenario) plus ovregsvc in a throw-away machine root, as scripts/run.sh starts
# them. Everything started here is stopped by sandbox_stop (installed as the EXIT trap).
#
# Needs: Xvfb (Debian xvfb), trayer (Debian trayer), the programs OvUI, ovsimd and ovregsvc
# built in Release (default: build-bench/bin, else build-release/bin; or --bin DIR).

sandbox_pids=()
sandbox_root=
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

sandbox_bin_default() {
  local d
  for d in "$here/build-bench/bin" "$here/build-release/bin"; do
    [ -x "$d/OvUI" ] && { echo "$d"; return; }
  done
  echo "$here/build-bench/bin"
}

# sandbox_need TOOL...: exits 77 (skipped) naming what is missing.
sandbox_need() {
  local missing=() t
  for t in "$@"; do command -v "$t" >/dev/null 2>&1 || [ -x "$t" ] || missing+=("$t"); done
  if ((${#missing[@]})); then
    echo "skipped: needs ${missing[*]} (Debian: apt-get install xvfb trayer; programs: build" \
         "OvUI ovsimd ovregsvc in Release)" >&2
    exit 77
  fi
}

sandbox_stop() {
  local i
  for ((i = ${#sandbox_pids[@]} - 1; i >= 0; i--)); do
    kill "${sandbox_pids[i]}" 2>/dev/null || true
    wait "${sandbox_pids[i]}" 2>/dev/null || true
  done
  sandbox_pids=()
  [ -n "$sandbox_root" ] && rm -rf "$sandbox_root"
  sandbox_root=
}

# sandbox_start BIN [--no-tray]: display, tray host, root and daemons; exports DISPLAY and
# OVUI_ROOT.
sandbox_start() {
  local bin=$1 tray=1
  [ "${2:-}" = --no-tray ] && tray=0
  trap sandbox_stop EXIT
  sandbox_root=$(mktemp -d "${TMPDIR:-/tmp}/ovui-bench.XXXXXX")
  export OVUI_ROOT=$sandbox_root
  # Qt's runtime folder inside the root (the single-instance folder is under the root anyway).
  export XDG_RUNTIME_DIR=$sandbox_root/xdg
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  local fdfile="$sandbox_root/display"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$fdfile" >/dev/null 2>&1 &
  sandbox_pids+=($!)
  local _
  for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.05; done
  [ -s "$fdfile" ] || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n1 "$fdfile")"
  unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
  if ((tray)); then
    trayer --expand false >/dev/null 2>&1 &
    sandbox_pids+=($!)
    sleep 0.3
  fi
  sandbox_daemon "$bin" ovsimd --scenario "$here/data/scenarios/default.json" --root "$OVUI_ROOT"
  sandbox_daemon "$bin" ovregsvc --root "$OVUI_ROOT"
}

sandbox_daemon() {
  local bin=$1 name=$2; shift 2
  local log="$sandbox_root/$name.log" _
  "$bin/$name" "$@" >"$log" 2>&1 &
  sandbox_pids+=($!)
  for _ in $(seq 100); do
    grep -q "$name ready" "$log" 2>/dev/null && return 0
    sleep 0.05
  done
  echo "$name did not start:" >&2; cat "$log" >&2; exit 1
}

# sandbox_ovui BIN ARGS...: starts OvUI (pid in $ovui_pid) and waits for its start-up line.
sandbox_ovui() {
  local bin=$1; shift
  local log="$sandbox_root/OvUI.log" _
  "$bin/OvUI" "$@" >"$log" 2>&1 &
  ovui_pid=$!
  sandbox_pids+=($ovui_pid)
  for _ in $(seq 200); do
    grep -q "OvUI running" "$log" 2>/dev/null && return 0
    kill -0 "$ovui_pid" 2>/dev/null || break
    sleep 0.05
  done
  echo "OvUI did not start:" >&2; cat "$log" >&2; exit 1
}

# sandbox_accessibility_bus: a session bus of our own with the accessibility bus on it, so
# nothing of the caller's desktop is reached or disturbed; exports DBUS_SESSION_BUS_ADDRESS.
# Needs dbus-daemon and /usr/libexec/at-spi-bus-launcher (Debian: dbus, at-spi2-core).
sandbox_accessibility_bus() {
  local deadline=$((SECONDS + 10))
  dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$sandbox_root/bus" \
    >"$sandbox_root/dbus.log" 2>&1 &
  sandbox_pids+=($!)
  until [ -s "$sandbox_root/bus" ]; do
    ((SECONDS < deadline)) || { echo "the session bus did not start" >&2; exit 1; }
    sleep 0.05
  done
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$sandbox_root/bus")
  export DBUS_SESSION_BUS_ADDRESS
  # The accessibility bus; its registry daemon starts on the first request.
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$sandbox_root/at-spi.log" 2>&1 &
  sandbox_pids+=($!)
}

# sandbox_open_window BIN: after sandbox_ovui. The simulated adapter appears a moment after the
# start; once it is set up, a second start asks the running utility to open its window, as a
# user does.
sandbox_open_window() {
  local bin=$1 deadline=$((SECONDS + 20))
  until grep -q "adapter set up" "$sandbox_root/OvUI.log"; do
    ((SECONDS < deadline)) || { echo "OvUI set up no adapter:" >&2; cat "$sandbox_root/OvUI.log" >&2; exit 1; }
    sleep 0.05
  done
  "$bin/OvUI" >>"$sandbox_root/OvUI.log" 2>&1
}

# rss_kib PID: resident set in KiB.
rss_kib() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
