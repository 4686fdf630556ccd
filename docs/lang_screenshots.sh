#!/usr/bin/env bash
# Takes the language screenshots: the main window in German and in Simplified Chinese, chosen by
# LANG alone as a user's session would, on three pages (profile list, site survey, advanced),
# into docs/screenshots/lang-de-*.png and lang-zh-*.png. Runs under its own Xvfb against ovsimd
# with the default scenario and the default profile activated, as scripts/run.sh does.
# Usage: docs/lang_screenshots.sh [--bin DIR]   (default: build-release/bin)
# Needs: xvfb trayer xdotool x11-apps netpbm fonts-noto-cjk (Debian).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bin=$here/build-release/bin
[ "${1:-}" = --bin ] && bin=$(cd "$2" && pwd)
out=$here/docs/screenshots
# shellcheck source=../bench/desktop/desktop_sandbox.sh
source "$here/bench/desktop/desktop_sandbox.sh"
sandbox_need Xvfb trayer xdotool xwd xwdtopnm pnmtopng "$bin/OvUI" "$bin/ovuictl"
[ -n "$(fc-list "Noto Sans CJK SC")" ] || { echo "skipped: needs fonts-noto-cjk" >&2; exit 77; }

sandbox_start "$bin"
# The utility opens its window at start only for an adapter it finds then (as scripts/run.sh).
for _ in $(seq 50); do
  "$bin/ovuictl" status 2>/dev/null | grep -q "^  NIC ready: *yes" && break
  sleep 0.1
done
"$bin/ovuictl" profile import "$here/data/scenarios/default-home.prof" >/dev/null
"$bin/ovuictl" profile activate Home >/dev/null

# Bar slots of the default layout: 28 px scroll slot, then 90 px per button.
declare -A page_x=([profile]=73 [site-survey]=163 [advanced]=253)

# main_window PID: the program's widest shown window (not its tray icon), waiting up to 10 s.
main_window() {
  local pid=$1 _ id width best=
  for _ in $(seq 100); do
    for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
      width=$(xdotool getwindowgeometry --shell "$id" | sed -n 's/^WIDTH=//p')
      [ "${width:-0}" -ge 700 ] && best=$id
    done
    [ -n "$best" ] && { echo "$best"; return; }
    sleep 0.1
  done
  echo "no main window of OvUI appeared" >&2
  exit 1
}

# shoot LANG TAG: starts OvUI in that locale, grabs each page, ends it.
shoot() {
  local locale=$1 tag=$2 pid window page
  env -u LC_ALL -u LC_MESSAGES LANG="$locale" "$bin/OvUI" >"$sandbox_root/ovui-$tag.log" 2>&1 &
  pid=$!
  window=$(main_window "$pid")
  sleep 3  # the first scan and the link-status poll fill the lists
  for page in profile site-survey advanced; do
    xdotool mousemove --window "$window" "${page_x[$page]}" 32 click 1
    sleep 2
    xwd -silent -id "$window" | xwdtopnm 2>/dev/null | pnmtopng >"$out/lang-$tag-$page.png"
    echo "wrote docs/screenshots/lang-$tag-$page.png"
  done
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

shoot de_DE.UTF-8 de
shoot zh_CN.UTF-8 zh
