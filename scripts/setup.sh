#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and builds.
# Usage: scripts/setup.sh <build-dir> <Debug|Release> [extra cmake args...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-build}
build_type=${2:-Debug}
shift $(( $# >= 2 ? 2 : $# ))

packages=(g++ cmake ninja-build pkg-config qt6-base-dev libqt6svg6 libssl-dev libsqlite3-dev libpugixml-dev
          libgtest-dev libgmock-dev libbenchmark-dev libxml2-utils wpasupplicant
          # The Chinese language file's face: without it Chinese texts show as empty boxes.
          fonts-noto-cjk)
# Callers add what only they need (scripts/test.sh: the desktop the end-to-end tests run on).
read -r -a extra <<<"${OVUI_EXTRA_PACKAGES:-}"
packages+=(${extra[@]+"${extra[@]}"})
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

jobs=${OVUI_JOBS:-2}
cmake -S "$here" -B "$here/$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" "$@" >/dev/null
ninja -C "$here/$build_dir" -j"$jobs"
