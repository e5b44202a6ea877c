#!/usr/bin/env bash
# Installs the Debian packages VERTO builds and tests with; does nothing
# when they are all present. Uses sudo when not run as root.
set -euo pipefail
packages=(g++ cmake ninja-build make libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-svg-dev fonts-dejavu-core ghostscript hp2xx clang libclang-rt-14-dev
          groff-base dpkg-dev file)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq || true
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
