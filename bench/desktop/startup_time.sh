#!/usr/bin/env bash
# Start-up time and resident memory of OvUI beside a bare Qt 6 window built in the same tree:
#  - launch to mapped main window (OvUI started without "-S", against ovsimd on the default
#    scenario), median of --runs runs after one unmeasured warm-up run each;
#  - resident set 5 s after start: OvUI in the tray ("-S") and the bare window.
#
# Usage: bench/desktop/startup_time.sh [--runs N (9)] [--rss-after S (5)] [--bin DIR]
# Needs: Xvfb, trayer, and in the bin folder OvUI, ovsimd, ovregsvc, bare_qt_window and
# window_map_timer (Release: the bench build's targets).
set -euo pipefail
source "$(dirname "$0")/desktop_sandbox.sh"

runs=9 rss_after=5 bin=$(sandbox_bin_default)
while (($#)); do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --rss-after) rss_after=$2; shift 2 ;;
    --bin) bin=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
sandbox_need Xvfb trayer "$bin/OvUI" "$bin/ovsimd" "$bin/ovregsvc" "$bin/bare_qt_window" \
  "$bin/window_map_timer"
sandbox_start "$bin"

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# time_window TITLE PROGRAM ARGS...: one warm-up, then $runs timed starts; prints the median.
time_window() {
  local title=$1 i; shift
  "$bin/window_map_timer" "$title" 10000 "$@" >/dev/null
  for ((i = 0; i < runs; i++)); do
    "$bin/window_map_timer" "$title" 10000 "$@" || { echo "no window: $*" >&2; exit 1; }
  done >"$sandbox_root/times"
  echo "$(median <"$sandbox_root/times") ms (runs: $(tr '\n' ' ' <"$sandbox_root/times"))"
}

# rss_after_start PROGRAM ARGS...: resident set in MB $rss_after seconds after the start.
rss_after_start() {
  "$@" >/dev/null 2>&1 &
  local pid=$!
  sleep "$rss_after"
  local kib
  kib=$(rss_kib "$pid")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  awk -v k="$kib" 'BEGIN { printf "%.1f MB\n", k * 1024 / 1e6 }'
}

echo "Launch to mapped window, median of $runs:"
echo "  bare Qt window:   $(time_window "Bare Qt window" "$bin/bare_qt_window")"
echo "  OvUI main window: $(time_window "Orvane Wireless Utility" "$bin/OvUI")"
echo "Resident after ${rss_after} s:"
echo "  bare Qt window:   $(rss_after_start "$bin/bare_qt_window")"
echo "  OvUI in the tray: $(rss_after_start "$bin/OvUI" -S)"
