#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need; quiet and quick when all are present.
set -euo pipefail
PKGS=(cmake ninja-build g++ make pkg-config clang-format
      qt6-base-dev qt6-serialport-dev qt6-svg-dev libgl1-mesa-dev
      libjpeg62-turbo-dev libgif-dev libssl-dev libgtest-dev libbenchmark-dev
      xvfb xauth socat imagemagick poppler-utils fonts-dejavu-core python3-ephem python3-erfa
      python3 openssl gpsbabel)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
((${#missing[@]})) || exit 0
echo "Installing: ${missing[*]}"
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
APT=(-o DPkg::Lock::Timeout=600 -o Acquire::Retries=3)
$SUDO apt-get "${APT[@]}" update -qq
$SUDO apt-get "${APT[@]}" install -y -qq --no-install-recommends "${missing[@]}"
