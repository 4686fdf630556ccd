#!/usr/bin/env bash
# Builds the programs in Release and runs them against a sandbox machine root: the simulated
# adapters (ovsimd with the default scenario), then the utility's view of them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh" build-release Release -DOVUI_BUILD_TESTS=OFF -DOVUI_BUILD_BENCH=OFF
bin="$here/build-release/bin"
export OVUI_ROOT=${OVUI_ROOT:-$here/build-release/sandbox}
mkdir -p "$OVUI_ROOT"
scenario=${OVUI_SCENARIO:-$here/data/scenarios/default.json}

sim_log="$OVUI_ROOT/ovsimd.log"
"$bin/ovsimd" --scenario "$scenario" --root "$OVUI_ROOT" >"$sim_log" 2>&1 &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  grep -q "ovsimd ready" "$sim_log" 2>/dev/null && break
  kill -0 "$sim_pid" 2>/dev/null || { cat "$sim_log" >&2; exit 1; }
  sleep 0.1
done
grep -q "ovsimd ready" "$sim_log" || { echo "ovsimd did not start:" >&2; cat "$sim_log" >&2; exit 1; }

"$bin/ovuictl" status "$@"
