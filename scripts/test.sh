#!/usr/bin/env bash
# Builds everything in Debug and runs every test through ctest.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# The tests also need a virtual display, a session bus and the accessibility bus with Debian's
# pyatspi (tests/a11y/atspi), the tray host of the desktop smoke runs, and NetworkManager's
# interfaces with dbusmock for the NetworkManager backend's tests.
OVUI_EXTRA_PACKAGES="xvfb dbus at-spi2-core python3-pyatspi trayer network-manager-dev python3-dbusmock ${OVUI_EXTRA_PACKAGES:-}" \
  "$here/scripts/setup.sh" build Debug
cd "$here/build"
ctest --output-on-failure -j"${OVUI_JOBS:-2}" "$@"
