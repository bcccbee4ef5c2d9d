#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building and testing Karvex32 needs. Asks apt only
# when something is missing, so a prepared machine starts at once.
set -euo pipefail

packages=(build-essential cmake ninja-build libgtest-dev libcli11-dev libpng-dev qt6-base-dev
  libglib2.0-dev pkgconf  # GIO: the default application for plain text
  xvfb xauth xdotool imagemagick fonts-dejavu-core fonts-wine
  dbus-daemon at-spi2-core  # a session bus and the accessibility bridge for the X tests
  qt6-multimedia-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good  # the wave player
  pulseaudio pulseaudio-utils  # a sound server for the wave player's tests
  clang-14 libclang-rt-14-dev  # clang and its libFuzzer runtime build fuzz/ (scripts/fuzz.sh)
  librsvg2-bin help2man  # packaging/: the icon's PNGs and karvex32-cli(1)
  dpkg-dev desktop-file-utils shared-mime-info libglib2.0-bin  # the .deb and its tests (gio)
  lintian appstream  # the package checks: Debian's checker and the metainfo validator
  clang-format  # the format check
  lcov  # scripts/test.sh --coverage
  ccache)  # lets the second build of scripts/test.sh reuse the first one's objects

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
