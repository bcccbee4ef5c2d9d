#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the .deb of a build tree. `package_test.sh make` runs CPack and unpacks the package;
# each other argument (control, files, desktop, mime, programs, lintian, metainfo) checks
# one side of it and prints "ok - WHAT" or "not ok - WHAT" per check, exiting 1 when one
# failed.
# From CTest (tests/package/CMakeLists.txt): KARVEX_TREE is the build tree, KARVEX_WORK a
# folder of the test's own, KARVEX_CPACK CPack, KARVEX_VERSION the project's version and
# KARVEX_MIME_QUERY the Qt helper of package_mime.sh.
set -uo pipefail

tree=${KARVEX_TREE:?} work=${KARVEX_WORK:?} version=${KARVEX_VERSION:?}
arch=$(dpkg --print-architecture)
deb=$work/out/karvex32_${version}_${arch}.deb
root=$work/root
failures=0

pass() { echo "ok - $1"; }
fail() { echo "not ok - $1"; failures=$((failures + 1)); }
# holds WHAT COMMAND...: passes when COMMAND succeeds.
holds() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
# check WHAT EXPECTED ACTUAL: compares two whole texts and shows their difference.
check() {
  if [ "$2" == "$3" ]; then
    pass "$1"
  else
    fail "$1"
    diff <(echo "$2") <(echo "$3") | sed 's/^/    /'
  fi
}

make_package() {
  rm -rf "$work"
  mkdir -p "$work/out"
  if ! "${KARVEX_CPACK:?}" --config "$tree/CPackConfig.cmake" -G DEB -B "$work/out" > "$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    fail "cpack makes the package"
    return
  fi
  holds "cpack makes $(basename "$deb")" test -f "$deb"
  holds "dpkg-deb -x unpacks it" dpkg-deb -x "$deb" "$root"
}

check_control() {
  check "control fields" "Package: karvex32
Version: $version
Architecture: $arch
Maintainer: Karvex32 <karvex32@users.noreply.invalid>
Section: utils
Recommends: fonts-wine, xdg-utils, pulseaudio" \
    "$(dpkg-deb -f "$deb" Package Version Architecture Maintainer Section Recommends)"
  local depends package
  depends=$(dpkg-deb -f "$deb" Depends)
  # The GStreamer plugins are listed by hand; the libraries come from dpkg-shlibdeps.
  for package in gstreamer1.0-plugins-base gstreamer1.0-plugins-good libc6 libqt6core6 \
      libqt6widgets6 libqt6multimedia6 libpng16-16; do
    if grep -Eq "(^|, )$package(t64)?( |,|$)" <<< "$depends"; then
      pass "Depends names $package"
    else
      fail "Depends names $package: $depends"
    fi
  done
  holds "the description has its long part" grep -q '^ karvex32 is the desktop program' \
    <(dpkg-deb -f "$deb" Description)
}

check_files() {
  local expected size sizes="16 32 48 64 128 256"
  expected=$(
    echo ./usr/bin/karvex32
    echo ./usr/bin/karvex32-cli
    echo ./usr/share/applications/karvex32.desktop
    echo ./usr/share/doc/karvex32/changelog.gz
    echo ./usr/share/doc/karvex32/copyright
    for size in $sizes; do echo "./usr/share/icons/hicolor/${size}x${size}/apps/karvex32.png"; done
    echo ./usr/share/icons/hicolor/scalable/apps/karvex32.svg
    echo ./usr/share/man/man1/karvex32-cli.1.gz
    echo ./usr/share/man/man1/karvex32.1.gz
    echo ./usr/share/metainfo/org.karvex32.Karvex32.metainfo.xml
    echo ./usr/share/mime/packages/karvex32.xml
  )
  check "the package's files" "$(LC_ALL=C sort <<< "$expected")" \
    "$(dpkg-deb -c "$deb" | awk '/^-/ { print $6 }' | LC_ALL=C sort)"

  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  for size in $sizes; do
    local png=$root/usr/share/icons/hicolor/${size}x${size}/apps/karvex32.png
    check "the ${size}x${size} icon is a PNG of that size" "137 80 78 71 $size $size" \
      "$(od -An -tu1 -N4 "$png" | xargs) $(od -An -tu4 --endian=big -j16 -N8 "$png" | xargs)"
  done
  holds "the scalable icon is an SVG" grep -q '<svg ' \
    "$root/usr/share/icons/hicolor/scalable/apps/karvex32.svg"

  local man=$root/usr/share/man/man1
  check "karvex32(1)'s title" ".TH KARVEX32 1 \"\" \"Karvex32 $version\" \"User Commands\"" \
    "$(zcat "$man/karvex32.1.gz" | grep '^\.TH')"
  check "karvex32-cli(1)'s title is help2man's, with the version" \
    ".TH KARVEX32-CLI \"1\" DATE \"karvex32-cli $version\" \"User Commands\"" \
    "$(zcat "$man/karvex32-cli.1.gz" | grep '^\.TH' | sed -E 's/^(.TH [^ ]+ "1") "[^"]*"/\1 DATE/')"
  local command missing=""
  for command in list extract build comment texture textures palette text search examine; do
    zcat "$man/karvex32-cli.1.gz" | grep -q "karvex32\\\\-cli $command" || missing+=" $command"
  done
  check "karvex32-cli(1) shows every command's usage" "" "$missing"
  check "karvex32-cli(1) keeps the usage lines as lines" ".nf" \
    "$(zcat "$man/karvex32-cli.1.gz" | grep -B1 '^karvex32\\-cli list FILE$' | head -n 1)"
  holds "karvex32-cli(1) refers to karvex32(1)" grep -q '^\.BR karvex32 (1)' \
    <(zcat "$man/karvex32-cli.1.gz")
}

check_desktop() {
  local entry=$root/usr/share/applications/karvex32.desktop output
  if output=$(desktop-file-validate "$entry" 2>&1) && [ -z "$output" ]; then
    pass "desktop-file-validate finds nothing to say"
  else
    fail "desktop-file-validate: $output"
  fi
  check "the entry's command, icon and types" "Exec=karvex32 %f
Icon=karvex32
MimeType=application/x-karvex-pod;text/x-karvex-lst;" \
    "$(grep -E '^(Exec|Icon|MimeType)=' "$entry")"
  holds "the entry's categories are Utility and Archiving" \
    grep -Eq '^Categories=(.*;)?Utility;(.*;)?Archiving;' "$entry"
  holds "the entry's command is in the package" test -x "$root/usr/bin/karvex32"
  holds "the entry's icon is in the package" \
    test -f "$root/usr/share/icons/hicolor/48x48/apps/karvex32.png"
}

# shellcheck source=package_mime.sh
source "$(dirname "$0")/package_mime.sh"

check_programs() {
  check "karvex32-cli --version runs from the unpacked package" "karvex32-cli $version" \
    "$("$root/usr/bin/karvex32-cli" --version 2>&1)"
  local program
  for program in karvex32 karvex32-cli; do
    check "every library $program needs is found" "" \
      "$(ldd "$root/usr/bin/$program" | grep 'not found')"
  done
}

# Debian's own checker over the package: no error and no warning. A warning the package
# must live with goes into packaging/karvex32.lintian-overrides, installed as
# /usr/share/lintian/overrides/karvex32, each with a comment line that gives the reason.
check_lintian() {
  local output status=0
  output=$(lintian --fail-on error,warning --display-level '>=warning' --no-cfg "$deb" 2>&1) ||
    status=$?
  if [ "$status" -eq 0 ] && ! grep -Eq '^[EW]: ' <<< "$output"; then
    pass "lintian finds no error or warning"
  else
    fail "lintian (exit $status) says:"
    sed 's/^/    /' <<< "$output"
  fi
  holds "the copyright file is machine-readable" grep -q \
    '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' \
    "$root/usr/share/doc/karvex32/copyright"
  holds "the changelog names this version" grep -q "^karvex32 ($version) " \
    <(zcat "$root/usr/share/doc/karvex32/changelog.gz")
}

# What software centres read: the metainfo passes AppStream's validator, and names the
# desktop entry, both file types and this version's release.
check_metainfo() {
  local metainfo=$root/usr/share/metainfo/org.karvex32.Karvex32.metainfo.xml output type
  if output=$(appstreamcli validate --no-net "$metainfo" 2>&1); then
    pass "appstreamcli validate --no-net accepts the metainfo"
  else
    fail "appstreamcli validate --no-net: $output"
  fi
  holds "the metainfo launches karvex32.desktop" \
    grep -q '<launchable type="desktop-id">karvex32.desktop</launchable>' "$metainfo"
  for type in application/x-karvex-pod text/x-karvex-lst; do
    holds "the metainfo provides $type" grep -q "<mediatype>$type</mediatype>" "$metainfo"
  done
  holds "the metainfo lists release $version" grep -q "<release version=\"$version\"" "$metainfo"
}

case ${1:-} in
  make) make_package ;;
  control) check_control ;;
  files) check_files ;;
  desktop) check_desktop ;;
  mime) check_mime ;;
  programs) check_programs ;;
  lintian) check_lintian ;;
  metainfo) check_metainfo ;;
  *) echo "usage: $0 make|control|files|desktop|mime|programs|lintian|metainfo" >&2; exit 2 ;;
esac
[ "$failures" -eq 0 ]
