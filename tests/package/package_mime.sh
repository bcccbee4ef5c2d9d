# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# The package's file types, sourced by package_test.sh. They are loaded as the desktop loads
# them: the system's MIME packages, with ours or without it, put through update-mime-database
# in a folder of the test's own, named by XDG_DATA_DIRS. Each file is asked of GIO (as GNOME's
# and Xfce's file managers, and xdg-mime on GNOME, ask it) and of Qt (as KDE's do, through
# karvex_mime_query), each time of both databases, so that a Perl document is seen to keep
# exactly the type it had before.

# mime_database FOLDER [PACKAGE]: FOLDER/mime made of the system's packages, and PACKAGE.
mime_database() {
  mkdir -p "$1/mime/packages"
  cp /usr/share/mime/packages/*.xml "$1/mime/packages/"
  [ -z "${2:-}" ] || cp "$2" "$1/mime/packages/karvex32.xml"
  update-mime-database "$1/mime" > /dev/null 2>&1  # it notes that FOLDER is not searched
}

# content_type DATABASE FILE: the type $asker (gio or qt) gives FILE.
content_type() {
  if [ "$asker" == gio ]; then
    XDG_DATA_HOME=$work/mime/home XDG_DATA_DIRS=$1 gio info -a standard::content-type "$2" 2>&1 |
      sed -n 's/^ *standard::content-type: //p'
  else
    XDG_DATA_HOME=$work/mime/home XDG_DATA_DIRS=$1 "${KARVEX_MIME_QUERY:?}" "$2" 2>&1
  fi
}

check_mime() {
  local with=$work/mime/with without=$work/mime/without files=$work/mime/files
  local ours=application/x-karvex-pod file
  rm -rf "$work/mime"
  mkdir -p "$files/sources" "$work/mime/home"
  mime_database "$without"
  mime_database "$with" "$root/usr/share/mime/packages/karvex32.xml"

  # Archives made by the packaged CLI: one with an empty comment, one whose 80-character
  # comment leaves only the count's and the names' padding as NUL bytes, one with an
  # upper-case ending, and the demo archive of the build tree.
  local cli=$root/usr/bin/karvex32-cli long_comment
  long_comment=$(printf 'Comment%.0s' {1..12} | head -c 80)
  printf 'A text.\r\n' > "$files/sources/readme.txt"
  head -c 4096 /dev/zero | tr '\0' '\7' > "$files/sources/grey.raw"
  printf 'readme.txt\r\ngrey.raw\r\n' > "$files/sources/list.lst"
  "$cli" build "$files/sources/list.lst" "$files/made.pod" --yes > /dev/null 2>&1
  "$cli" build "$files/sources/list.lst" "$files/comment.pod" --yes \
    --comment "$long_comment" > /dev/null 2>&1
  cp "$files/made.pod" "$files/MADE.POD"
  local archives=("$files/made.pod" "$files/comment.pod" "$files/MADE.POD")
  [ -f "$tree/demo/demo.pod" ] && archives+=("$tree/demo/demo.pod")

  # Perl documents: the system's (some begin with "=head1 NAME", which Perl's magic rules do
  # not see at offset 0, so only their text tells them apart) and two written here.
  local documents=()
  mapfile -t documents < <(find /usr/share/perl* /usr/lib/*/perl* -name '*.pod' 2>/dev/null |
                           LC_ALL=C sort | head -n 60)
  if [ ${#documents[@]} -eq 0 ]; then
    fail "a Perl document of the system to check (none under /usr/share/perl*)"
  fi
  printf '=head1 NAME\n\nkarvex - a document\n\n=cut\n' > "$files/head.pod"
  printf '=pod\n\nA document.\n\n=cut\n' > "$files/plain.pod"
  documents+=("$files/head.pod" "$files/plain.pod")

  # Binary files that no glob names: the archive's type is no catch-all for NUL bytes.
  head -c 200 "$files/made.pod" > "$files/binary"
  cp "$files/binary" "$files/binary.xyz"

  local asker
  for asker in gio qt; do
    for file in "${archives[@]}"; do
      check "($asker) $(basename "$file") is a POD archive" "$ours" "$(content_type "$with" "$file")"
    done
    check "($asker) a response file is one" "text/x-karvex-lst" \
      "$(content_type "$with" "$files/sources/list.lst")"
    local changed="" before after
    for file in "${documents[@]}"; do
      before=$(content_type "$without" "$file")
      after=$(content_type "$with" "$file")
      if [ "$before" != "$after" ] || [ "$after" == "$ours" ] || ! grep -Eq 'perl|pod' <<< "$after"; then
        changed+="$file: $before -> $after"$'\n'
      fi
    done
    check "($asker) ${#documents[@]} Perl documents stay Perl documents" "" "$changed"
    for file in "$files/binary" "$files/binary.xyz"; do
      check "($asker) $(basename "$file"), with NUL bytes and no .pod ending, keeps its type" \
        "$(content_type "$without" "$file")" "$(content_type "$with" "$file")"
    done
  done
}
