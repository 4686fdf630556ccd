#!/usr/bin/env bash
# Builds the programs in Release and runs the utility against the default sandbox root.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh" build-release Release -DOVUI_BUILD_TESTS=OFF -DOVUI_BUILD_BENCH=OFF
export OVUI_ROOT=${OVUI_ROOT:-$here/build-release/sandbox}
mkdir -p "$OVUI_ROOT"
exec "$here/build-release/bin/ovuictl" status "$@"
