#!/usr/bin/env bash
# How often OvUI wakes while it idles in the tray: starts `OvUI -S` against ovsimd (default
# scenario) on a private display with a tray host, lets it settle, then counts the context
# switches of each of its threads (voluntary + nonvoluntary, /proc/<pid>/task/*/status) over the
# measuring time. A second, separate phase traces the process (strace) to count the requests
# its timers send: to the device (one connection per open) and to the wireless service. The
# requests' own cost is taken as one wake-up per device request (the caller waiting for the
# answer) and two per service request (the caller, and the client's reader thread taking the
# answer); what remains of the voluntary switches (a thread that slept and was woken) is what
# wakes without being asked for. Nonvoluntary switches are shown apart: they are preemptions of a
# running thread, and their number follows the load of the machine.
#
# Usage: bench/desktop/tray_idle_wakeups.sh [--seconds N (60)] [--settle N (5)]
#          [--trace-seconds N (10, 0: no request count)] [--bin DIR]
# Needs: Xvfb, trayer, strace (for the request count), OvUI/ovsimd/ovregsvc built in Release.
set -euo pipefail
source "$(dirname "$0")/desktop_sandbox.sh"

seconds=60 settle=5 trace_seconds=10 bin=$(sandbox_bin_default)
while (($#)); do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --settle) settle=$2; shift 2 ;;
    --trace-seconds) trace_seconds=$2; shift 2 ;;
    --bin) bin=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
sandbox_need Xvfb trayer "$bin/OvUI" "$bin/ovsimd" "$bin/ovregsvc"
((trace_seconds > 0)) && sandbox_need strace

sandbox_start "$bin"
sandbox_ovui "$bin" -S
sleep "$settle"

# snapshot: "tid name voluntary nonvoluntary" per thread.
snapshot() {
  local t
  for t in /proc/"$ovui_pid"/task/*; do
    [ -r "$t/status" ] || continue
    printf '%s %s %s\n' "${t##*/}" "$(tr ' ' _ <"$t/comm")" \
      "$(awk '/^voluntary_ctxt/ {v=$2} /^nonvoluntary_ctxt/ {n=$2} END {print v, n}' "$t/status")"
  done | sort
}

before=$(snapshot)
sleep "$seconds"
after=$(snapshot)
kill -0 "$ovui_pid" || { echo "OvUI ended during the measurement" >&2; exit 1; }

echo "OvUI idle in the tray, ${seconds} s (after ${settle} s settling):"
printf '  %-8s %-16s %12s %12s %10s\n' thread name voluntary/s nonvolunt./s total/s
join <(echo "$before") <(echo "$after") | awk -v d="$seconds" '
  { v = $6 - $3; n = $7 - $4; sv += v; sn += n
    printf "  %-8s %-16s %12.2f %12.2f %10.2f\n", $1, $2, v / d, n / d, (v + n) / d }
  END { printf "  %-8s %-16s %12.2f %12.2f %10.2f\n", "all", "", sv / d, sn / d, (sv + sn) / d }' \
  >"$sandbox_root/switches"
cat "$sandbox_root/switches"
voluntary=$(awk '$1 == "all" {print $2}' "$sandbox_root/switches")
nonvoluntary=$(awk '$1 == "all" {print $3}' "$sandbox_root/switches")

((trace_seconds > 0)) || exit 0

# Requests, counted apart from the measurement (tracing itself wakes the process). A socket
# connected to a device path is a device connection until closed; a send on any other socket
# with sendto is a wireless-service request (X and D-Bus traffic goes through writev/sendmsg).
trace="$sandbox_root/trace"
timeout -s INT "$trace_seconds" strace -f -qq -e trace=connect,sendto,close -o "$trace" \
  -p "$ovui_pid" 2>/dev/null || true
awk -v d="$trace_seconds" -v voluntary="$voluntary" -v nonvoluntary="$nonvoluntary" '
  function fd_of(call) { sub(/^[a-z]+\(/, "", call); sub(/,.*/, "", call); return call }
  { line = $0; sub(/^[0-9]+ +/, "", line) }
  line ~ /^connect\(/ && line ~ /run\/ovui\/devices\// && line ~ /= 0$/ {
    device[fd_of(line)] = 1; opens++; next }
  line ~ /^close\(/ { delete device[fd_of(line)]; next }
  line ~ /^sendto\(/ { if (fd_of(line) in device) dev++; else svc++ }
  END {
    printf "Requests while idle (traced %d s apart): %.2f device opens/s, %.2f device requests/s, %.2f service requests/s\n",
           d, opens / d, dev / d, svc / d
    beyond = voluntary - dev / d - 2 * svc / d
    # Below zero: answers that came before their caller slept cost less than the estimate.
    printf "Wake-ups beyond the timers'"'"' own requests: %.2f/s%s (voluntary %.2f/s - %.2f device - 2 x %.2f service)\n",
           beyond, beyond <= 0 ? ", none" : "", voluntary, dev / d, svc / d
    printf "Nonvoluntary switches (preempted while running; they follow the machine'"'"'s load): %.2f/s\n",
           nonvoluntary
  }' "$trace"
