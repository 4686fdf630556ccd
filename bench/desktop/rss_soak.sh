#!/usr/bin/env bash
# Memory over time with the main window open: starts OvUI (window open, the link-status page
# polling) against ovsimd on the default scenario and samples its resident set every --every
# seconds for --seconds; prints the curve and its growth.
#
# Usage: bench/desktop/rss_soak.sh [--seconds N (1800)] [--every N (10)] [--tray] [--bin DIR]
#   --tray: start with "-S" (tray only) instead.
# Needs: Xvfb, trayer, OvUI/ovsimd/ovregsvc built in Release.
set -euo pipefail
source "$(dirname "$0")/desktop_sandbox.sh"

seconds=1800 every=10 bin=$(sandbox_bin_default) args=()
while (($#)); do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --every) every=$2; shift 2 ;;
    --tray) args=(-S); shift ;;
    --bin) bin=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
sandbox_need Xvfb trayer "$bin/OvUI" "$bin/ovsimd" "$bin/ovregsvc"
sandbox_start "$bin"
sandbox_ovui "$bin" "${args[@]}"

curve="$sandbox_root/curve"
echo "seconds rss_kib" | tee "$curve"
for ((t = 0; t <= seconds; t += every)); do
  if ! kill -0 "$ovui_pid" 2>/dev/null; then
    status=0
    wait "$ovui_pid" || status=$?
    echo "OvUI ended at ${t} s with status $status; the end of its output:" >&2
    tail -n 20 "$sandbox_root/OvUI.log" >&2
    exit 1
  fi
  echo "$t $(rss_kib "$ovui_pid")" | tee -a "$curve"
  ((t + every <= seconds)) && sleep "$every"
done
# Growth after the first minute (start-up and the first page loads are not growth).
awk 'NR > 1 { t[NR] = $1; r[NR] = $2; n = NR }
     END { b = 2; for (i = n; i >= 2; i--) if (t[i] >= 60) b = i
           min = r[b]; max = r[b]; for (i = b; i <= n; i++) { if (r[i] < min) min = r[i]; if (r[i] > max) max = r[i] }
           printf "RSS %.1f MB at %d s, %.1f MB at %d s (min %.1f, max %.1f): growth %+.1f MB\n",
                  r[b] * 1.024e-3, t[b], r[n] * 1.024e-3, t[n], min * 1.024e-3, max * 1.024e-3, (r[n] - r[b]) * 1.024e-3 }' "$curve"
