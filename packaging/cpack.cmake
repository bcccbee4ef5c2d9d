# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack -G DEB` in a build tree (scripts/package.sh) makes
# karvex32_VERSION_amd64.deb of everything the tree installs, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME karvex32)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Karvex32 developers")
set(CPACK_PACKAGE_CONTACT "Karvex32 <karvex32@users.noreply.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Karvex32 <karvex32@users.noreply.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "desktop tool for POD game archives
Karvex32 opens the POD archives in which the game MTM keeps its models,
textures, palettes, sounds, texts and truck definitions. It lists and searches
an archive, previews its textures, palettes, texts, bitmaps and sounds,
extracts entries, builds a new archive from a list of files, registers it in
the game's pod.ini, and finds the files a truck or model needs.
.
karvex32 is the desktop program; karvex32-cli runs the same routines for
scripts.")

# The libraries the programs link are found by dpkg-shlibdeps. What it cannot see: Qt
# Multimedia plays the wave player's sounds through GStreamer plugins loaded at run time;
# the Tahoma-metric fonts, the desktop's opener (Open in Notepad) and a sound server are
# welcome but not required.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine, xdg-utils, pulseaudio")

include(CPack)
