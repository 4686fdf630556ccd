#!/usr/bin/env bash
# Builds everything in Debug and runs every test through ctest.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh" build Debug
cd "$here/build"
ctest --output-on-failure -j"${OVUI_JOBS:-2}" "$@"
