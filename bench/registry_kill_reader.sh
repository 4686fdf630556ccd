#!/usr/bin/env bash
# Kills a root `ovuictl reg set` at random moments of its commit, then reads the value as a
# standard user (uid 65534), N times (default 300). The value is 60,000 bytes of one repeated
# byte, rewritten with a new byte by each writer, so a read is right only when it is whole and
# from one commit. Prints how many kills left a hot journal and how many reads failed.
# Needs root. Usage: bench/registry_kill_reader.sh [bin-folder] [kills]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$here/build/bin}
kills=${2:-300}
[ "$(id -u)" -eq 0 ] || { echo "needs root (a root writer and a uid-65534 reader)"; exit 2; }
ctl=$bin/ovuictl
root=$(mktemp -d /tmp/ovui-kill-XXXXXX)
chmod 755 "$root"
trap 'rm -rf "$root"' EXIT
export OVUI_ROOT=$root
key='HKLM\SOFTWARE\Orvane\Probe'
python_hex() { python3 -c "import sys; print(('%02x' % int(sys.argv[1])) * 60000)" "$1"; }
"$ctl" reg set "$key" Data REG_BINARY "$(python_hex 0)"
hot=0 failed=0 committed=0
for ((i = 1; i <= kills; i++)); do
  byte=$(( i % 250 + 1 ))
  data=$(python_hex $byte)
  "$ctl" reg set "$key" Data REG_BINARY "$data" & pid=$!
  # A random moment within the writer's few milliseconds of work.
  sleep "0.00$(( RANDOM % 10 ))$(( RANDOM % 10 ))"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [ -e "$root/var/lib/ovui/registry/machine.db-journal" ] && hot=$((hot + 1))
  out=$(setpriv --reuid=65534 --regid=65534 --clear-groups "$ctl" reg query "$key" Data --json 2>&1) || {
    failed=$((failed + 1)); echo "kill $i: reader failed: $out" >&2; continue; }
  # Whole means one byte repeated 60,000 times.
  if ! python3 -c '
import json, sys
d = json.loads(sys.stdin.read())["values"][0]["data"]
h = d.replace(",", "").replace(" ", "") if isinstance(d, str) else "".join("%02x" % b for b in d)
sys.exit(0 if len(h) == 120000 and h == h[:2] * 60000 else 1)' <<<"$out"; then
    failed=$((failed + 1)); echo "kill $i: torn value" >&2
  fi
done
echo "kills=$kills hot_journals_left=$hot reader_failures=$failed"
