#!/usr/bin/env bash
# Installs every Debian 12 package that Brindlecast needs to build, test and
# run. Safe to run again: it installs only what is missing and is quiet then.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  clang libclang-rt-14-dev
  qt6-base-dev
  libgmime-3.0-dev libebook-contacts1.2-dev libical-dev libssl-dev
  googletest libgtest-dev libgmock-dev
  khard dovecot-core
  xvfb xauth
  libqt6svg6 dpkg-dev file desktop-file-utils mandoc
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
