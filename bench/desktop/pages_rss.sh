#!/usr/bin/env bash
# Resident memory with the monitoring pages opened once, beside the tray alone: three runs of
# OvUI against ovsimd on the default scenario, connected to "Orvane-WPA2-AES", each measured
# --seconds after its start:
#   tray    started with "-S" (tray only);
#   window  the main window as it opens (collapsed, the site survey page);
#   pages   the site survey, the AP detail of the connected network (double click on its row,
#           which also opens the lower frame), the link status (the detail's Close), then the
#           statistics page, each opened once through the mouse (xdotool).
# Prints one line per run and the pages' cost over the tray.
#
# Usage: bench/desktop/pages_rss.sh [--seconds N (60)] [--bin DIR]
# Needs: Xvfb, trayer, xdotool, OvUI/ovsimd/ovregsvc/ovuictl built in Release.
set -euo pipefail
source "$(dirname "$0")/desktop_sandbox.sh"

seconds=60 bin=$(sandbox_bin_default)
while (($#)); do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --bin) bin=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
sandbox_need Xvfb trayer xdotool "$bin/OvUI" "$bin/ovsimd" "$bin/ovregsvc" "$bin/ovuictl"
sandbox_start "$bin"

# Connected, as the link status and the survey's marked row should be.
for _ in $(seq 50); do "$bin/ovuictl" status 2>/dev/null | grep -q "^  NIC ready: *yes" && break; sleep 0.1; done
printf '[Home]\r\nSSID=Orvane-WPA2-AES\r\nNetworkType=1\r\nAuthMode=7\r\nCipherMode=6\r\nWPAPSK=orvane-sim-2\r\n' \
  >"$sandbox_root/home.ini"
"$bin/ovuictl" profile import "$sandbox_root/home.ini" >/dev/null
"$bin/ovuictl" profile activate Home >/dev/null

# Places in the main window's fixed layout (client pixels): the bar's buttons, the survey's
# rows (20 px from y 99, sorted by SSID: the connected network is row 11), the detail's Close.
site_survey=(163 32) statistics=(343 32) connected_row=(300 319) detail_close=(729 576)

window_id() { xdotool search --sync --onlyvisible --name 'Orvane Wireless Utility' | head -n1; }
click_at() { xdotool mousemove --window "$1" "$2" "$3" click --repeat "${4:-1}" --delay 60 1; }
window_height() { xdotool getwindowgeometry "$1" | awk '/Geometry:/ { split($2, s, "x"); print s[2] }'; }

# run NAME ARGS...: starts OvUI, lets `open_pages` act when NAME is "pages", waits until
# --seconds after the start and prints the resident set.
run() {
  local name=$1; shift
  local started=$SECONDS
  sandbox_ovui "$bin" "$@"
  if [ "$name" != tray ]; then
    local wid
    wid=$(window_id)
    sleep 2
    if [ "$name" = pages ]; then
      click_at "$wid" "${site_survey[@]}"; sleep 3
      click_at "$wid" "${connected_row[@]}" 2; sleep 1
      # Only the AP detail opens the lower frame here: a window still collapsed means the
      # double click missed.
      local height
      height=$(window_height "$wid")
      if ((height < 500)); then echo "the AP detail did not open (window height $height)" >&2; exit 1; fi
      click_at "$wid" "${detail_close[@]}"; sleep 2.5
      click_at "$wid" "${statistics[@]}"
    fi
  fi
  sleep $((seconds - (SECONDS - started) > 0 ? seconds - (SECONDS - started) : 0))
  kill -0 "$ovui_pid" 2>/dev/null || { echo "OvUI ended early:" >&2; tail -n 20 "$sandbox_root/OvUI.log" >&2; exit 1; }
  local kib
  kib=$(rss_kib "$ovui_pid")
  printf '%-7s RSS %.1f MB after %d s\n' "$name" "$(echo "$kib * 1.024 / 1000" | bc -l)" $((SECONDS - started)) >&2
  echo "$kib"
  kill "$ovui_pid"
  wait "$ovui_pid" 2>/dev/null || true
}

tray=$(run tray -S)
window=$(run window)
pages=$(run pages)
awk -v t="$tray" -v w="$window" -v p="$pages" 'BEGIN {
  printf "tray %.1f MB, window %.1f MB (+%.1f), pages opened %.1f MB (+%.1f over the tray, +%.1f over the window)\n",
         t * 1.024e-3, w * 1.024e-3, (w - t) * 1.024e-3, p * 1.024e-3, (p - t) * 1.024e-3, (p - w) * 1.024e-3 }'
