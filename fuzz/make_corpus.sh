#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# make_corpus.sh FOLDER: writes the fuzz targets' seed inputs into FOLDER/<target>/, built
# byte by byte here so that no binary file lives in the repository. Small valid archives,
# lists and pod.ini files, and a few damaged ones, give the fuzzer the shapes to mutate.
set -Eeuo pipefail
export LC_ALL=C  # lengths in bytes
# A step that fails says where, rather than the script ending without a word.
trap 'echo "make_corpus.sh: line $LINENO failed" >&2' ERR
out=${1:?usage: make_corpus.sh FOLDER}
rm -rf "$out"
mkdir -p "$out"/fuzz_pod_table "$out"/fuzz_extract "$out"/fuzz_response_file "$out"/fuzz_pod_ini \
  "$out"/fuzz_viewers
mkdir -p "$out"/fuzz_search
mkdir -p "$out"/fuzz_trucks
mkdir -p "$out"/fuzz_edit "$out"/fuzz_gpl

# A 32-bit little-endian integer (negative values in two's complement).
le32() {
  local v=$(( $1 & 0xFFFFFFFF ))
  printf '%b' "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $(((v >> 8) & 255)) \
    $(((v >> 16) & 255)) $(((v >> 24) & 255)))"
}

# TEXT padded with NULs to WIDTH bytes (cut at WIDTH).
field() {
  local text=${1:0:$2}
  printf '%s' "$text"
  head -c $(($2 - ${#text})) /dev/zero
}

# pod FILE COMMENT [NAME DATA]...: an archive whose entries follow the table in order.
pod() {
  local file=$1 comment=$2
  shift 2
  local count=$(($# / 2))
  local offset=$((84 + 40 * count))
  {
    le32 "$count"
    field "$comment" 80
    local args=("$@") i
    for ((i = 0; i < count; i++)); do
      local data=${args[2 * i + 1]}
      field "${args[2 * i]}" 32
      le32 ${#data}
      le32 "$offset"
      offset=$((offset + ${#data}))
    done
    for ((i = 0; i < count; i++)); do
      printf '%s' "${args[2 * i + 1]}"
    done
  } > "$file"
}

# raw FILE COUNT COMMENT [NAME SIZE OFFSET]... then DATA on stdin: a table as given.
raw() {
  local file=$1 count=$2 comment=$3
  shift 3
  {
    le32 "$count"
    field "$comment" 80
    while [ $# -ge 3 ]; do
      field "$1" 32
      le32 "$2"
      le32 "$3"
      shift 3
    done
    cat
  } > "$file"
}

archives=$out/fuzz_pod_table
pod "$archives/three.pod" "Three entries" 'ART\BOX.RAW' 'boxboxbox' 'README.TXT' $'hello\r\n' \
  'SOUNDS\HORN.WAV' 'RIFF....WAVE'
pod "$archives/empty.pod" "No entries"
pod "$archives/long_name.pod" "" 'ABCDEFGHIJKLMNOPQRSTUVWXYZ012345' 'thirty-two'
pod "$archives/folders.pod" "Nested" 'A' 'file a' 'B\C\D.TXT' 'deep' '/ROOTED.TXT' 'rooted'
pod "$archives/climbing.pod" "Unsafe names" '..\UP.TXT' 'up' 'C:\DRIVE.TXT' 'drive' 'OK.TXT' 'ok'
pod "$archives/blanks.pod" "Blank names" 'MY FILE.RAW' 'blank inside' '   ' 'three blanks'
pod "$archives/blank_field.pod" "" "$(printf '%32s' '')" 'thirty-two blanks'
raw "$archives/past_end.pod" 2 "Entry past the end" 'SHORT.RAW' 1000 124 'NEG.RAW' -5 -1 <<< 'only a few bytes'
raw "$archives/count_only.pod" 32768 "Count past the limit" < /dev/null
raw "$archives/negative_count.pod" -1 "Negative count" 'X' 1 84 <<< 'x'
printf 'short' > "$archives/short_header.pod"
cp "$archives"/* "$out/fuzz_extract/"

lists=$out/fuzz_response_file
printf 'a.raw\r\nb.raw\r\n' > "$lists/two.lst"
printf 'A.RAW, the texture\r\n  b.raw  \n\r\n\nc.raw\r\n' > "$lists/mixed.lst"
printf 'a.raw\r\nmissing.raw\r\n' > "$lists/missing.lst"
printf 'sub\\a.raw\r\n..\\c.raw\r\n/a.raw\r\n' > "$lists/paths.lst"
printf '%s\r\n' "$(head -c 40 /dev/zero | tr '\0' 'x')a.raw" 'a.raw' > "$lists/long_line.lst"
printf 'a.raw' > "$lists/no_line_end.lst"
: > "$lists/empty.lst"

inis=$out/fuzz_pod_ini
printf ' 2\r\nMTM.POD\r\nADDONS\\TRUCK.POD\r\n' > "$inis/two.ini"
printf ' 99\r\n' > "$inis/full.ini"
printf '3\nA.POD\nADDONS\\NEW.POD\nB.POD\n' > "$inis/listed.ini"
printf ' 1\r\n%s\r\n' "$(head -c 40 /dev/zero | tr '\0' 'L').POD" > "$inis/long_line.ini"
printf -- '-4 pods\r\n\r\nX.POD' > "$inis/negative.ini"
: > "$inis/empty.ini"

viewers=$out/fuzz_viewers
# A texture with its own palette and the default one, and a text with every kind of line.
pod "$viewers/texture.pod" "Texture and palettes" 'TRK01.RAW' "$(head -c 4096 /dev/zero | tr '\0' 'A')" \
  'trk01.act' "$(head -c 768 /dev/zero | tr '\0' 'p')" 'METALCR2.ACT' 'rgb' \
  'A.TXT' $'AB\r\n\r\nCD\nE\r\nF\r'
printf '\r\nAB\r\n\r\nC\nD\rE\r\nF\r' > "$viewers/text.txt"
cp "$archives/past_end.pod" "$archives/three.pod" "$viewers/"

searches=$out/fuzz_search
# Flags (bit 0 match case, the rest the block size), text length and text, entry count,
# entries as name, offset and size (16-bit), then the archive's bytes.
printf '\x00\x02AB\x02\x00\x00\x00\x08\x00\x01\x08\x00\x08\x00xxabxxxxABxxxxxx' > "$searches/two.bin"
printf '\x0b\x02ab\x03\x00\x0a\x00\x06\x00\x01\x00\x00\x14\x00\x00\x1e\x00\x64\x00%s' \
  'abab..ab..ab..ab..ab..ab..ab..ab..ab..ab' > "$searches/out_of_order.bin"
printf '\x04\x02  \x02\x00\x04\x00\x00\x00\x01\x04\x00\x04\x00abcdefgh' > "$searches/blanks.bin"

trucks=$out/fuzz_trucks
# Two layout bytes (the small windows' size and shift), then the entry: a truck definition
# with its keys, text without them, a model with names around window boundaries, one whose
# name straddles the end of the first 64,000 bytes, and an archive of both kinds.
truck=$'truckModelBaseName\r\ndmtruck\r\ntireModelBaseName\r\ndmtire\r\naxleModelName\r\ndmaxle\r\n'
printf '\x05\x03%s' "$truck" > "$trucks/truck.bin"
printf '\x07\x01%s' $'skin car.raw\r\n  blank.act\r\nshadow,tex,car.raw\r\nCAR.RAW\r\nhorn.WAV' \
  > "$trucks/names.bin"
printf '\x00\x00a.raw\x00\x00wheel.bin\x01tire08l.bin\x00sky.tex.lvl\x00' > "$trucks/model.bin"
{ printf '\x10\x20'; head -c 63992 /dev/zero; printf 'wheel.raw'; head -c 150 /dev/zero; } \
  > "$trucks/window_edge.bin"
pod "$trucks/archive.pod" "Trucks" 'demo.trk' "$truck" 'dm.bin' 'x.raw y.act'

edits=$out/fuzz_edit
# fuzz_edit reads its input as a chain of choices: entry count, spare data, whether the count
# lies, the comment, then each entry's name, size and offset, then the plan. Three entries
# F4.RAW, F9.RAW and F12.RAW laid out in order; delete F9.RAW, rename F4.RAW to F4.RAWX, add
# F28.RAW.
seed='\x03\x10\x05\x04SEED\x01\x05\x01\x00\x01\x00\x0a\x00\x05\x02\x01\x01\x00\x14\x00'
seed+='\x05\x03\x00\x01\x00\x05\x00\x2a'
printf "$seed"'\x00\x02\x02\x00\x01\x03\x00\x00\x0c\x00\x00\x05\x07\x00\x05\x11\x20' \
  > "$edits/delete_rename_add.bin"
# The same entries with replacing on: add F12.RAW again (its data replaced) and delete F4.RAW
# in the other letter case.
printf "$seed"'\x01\x01\x00\x00\x02\x05\x11\x20\x02\x0a\x00' > "$edits/replace_existing.bin"
printf '\x01\x00\x00\x00' > "$edits/no_plan.bin"
printf 'edit: any bytes make an archive and a plan' > "$edits/text.bin"

pngs=$out/fuzz_png
mkdir -p "$pngs"
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
# PNG files: the CRC-32 table, once.
crc_table=()
for ((n = 0; n < 256; n++)); do
  c=$n
  for ((k = 0; k < 8; k++)); do
    if ((c & 1)); then c=$((0xEDB88320 ^ (c >> 1))); else c=$((c >> 1)); fi
  done
  crc_table[n]=$c
done

# Bytes given as numbers: bytes 137 80 78 71.
bytes() {
  local masked=() b escapes
  for b in "$@"; do masked+=($((b & 255))); done
  printf -v escapes '\\x%02x' "${masked[@]}"
  printf '%b' "$escapes"
}

# A 32-bit big-endian integer.
be32() { bytes $(($1 >> 24)) $(($1 >> 16)) $(($1 >> 8)) $1; }

# chunk TYPE FILE: a chunk of type TYPE holding FILE's bytes, with its length and CRC.
chunk() {
  local c=0xFFFFFFFF b
  be32 "$(stat -c %s "$2")"
  for b in $( { printf '%s' "$1"; cat "$2"; } | od -An -v -tu1); do
    c=$((crc_table[(c ^ b) & 255] ^ (c >> 8)))
  done
  printf '%s' "$1"
  cat "$2"
  be32 $((c ^ 0xFFFFFFFF))
}

# zlib FILE: FILE's bytes as a zlib stream of stored (not compressed) blocks.
zlib() {
  local size at=0 len a=1 b=0 byte
  size=$(stat -c %s "$1")
  bytes 0x78 0x01
  while :; do
    len=$((size - at > 65535 ? 65535 : size - at))
    bytes $((at + len == size)) $len $((len >> 8)) $((~len)) $((~len >> 8))
    # dd, not tail into head: head closing the pipe early would fail the pipeline.
    dd if="$1" iflag=skip_bytes,count_bytes skip="$at" count="$len" status=none
    at=$((at + len))
    [ "$at" -lt "$size" ] || break
  done
  for byte in $(od -An -v -tu1 "$1"); do
    a=$(((a + byte) % 65521))
    b=$(((b + a) % 65521))
  done
  be32 $(((b << 16) | a))
}

# png FILE WIDTH HEIGHT DEPTH COLOUR INTERLACE ROWS [PLTE [TEXT]]: a PNG of the image data
# ROWS (each row's filter byte and samples, pass by pass when interlaced).
png() {
  { be32 "$2"; be32 "$3"; bytes "$4" "$5" 0 0 "$6"; } > "$work/ihdr"
  zlib "$7" > "$work/idat"
  : > "$work/none"
  {
    bytes 137 80 78 71 13 10 26 10
    chunk IHDR "$work/ihdr"
    [ -z "${9:-}" ] || chunk tEXt "$9"
    [ -z "${8:-}" ] || chunk PLTE "$8"
    chunk IDAT "$work/idat"
    chunk IEND "$work/none"
  } > "$1"
}

# The fuzz target's palette, a grey ramp, whole and its first 16 colours.
for ((n = 0; n < 256; n++)); do bytes $n $n $n; done > "$work/ramp"
head -c 48 "$work/ramp" > "$work/ramp16"
# rows FILE WIDTH HEIGHT BYTES-A-ROW EXPRESSION: each row's filter byte 0 and its bytes
# x = 0 ... BYTES-A-ROW - 1, the value of EXPRESSION in x and y.
rows() {
  local y x line
  for ((y = 0; y < $3; y++)); do
    line=(0)
    for ((x = 0; x < $4; x++)); do line+=($(($5))); done
    bytes "${line[@]}"
  done > "$1"
}
rows "$work/r" 64 64 64 'x + y'
png "$pngs/indexed64.png" 64 64 8 3 0 "$work/r" "$work/ramp"
head -c 2000 "$pngs/indexed64.png" > "$pngs/indexed64_cut.png"
rows "$work/r" 256 256 256 'x ^ y'
png "$pngs/indexed256.png" 256 256 8 3 0 "$work/r" "$work/ramp"
rows "$work/r" 64 64 32 '(2 * x) % 16 * 16 + (2 * x + 1) % 16'
png "$pngs/palette4bit64.png" 64 64 4 3 0 "$work/r" "$work/ramp16"
printf 'Comment\0painted by hand' > "$work/text"
rows "$work/r" 64 64 192 'x % 3 == 0 ? x / 3 * 4 : (x % 3 == 1 ? y * 4 : 128)'
png "$pngs/rgb64_text.png" 64 64 8 2 0 "$work/r" "" "$work/text"
rows "$work/r" 64 64 8 'y % 2 ? 0x55 : 0xAA'
png "$pngs/grey1bit64.png" 64 64 1 0 0 "$work/r"
# 2 x 2, 16-bit RGBA, interlaced: pass 1 holds pixel (0, 0), pass 6 (1, 0), pass 7 row 1.
bytes 0 1 2 3 4 5 6 7 8  0 9 9 9 9 9 9 255 255  0 1 1 1 1 1 1 0 0 200 200 200 200 200 200 0 0 \
  > "$work/r"
png "$pngs/rgba16_interlaced.png" 2 2 16 6 1 "$work/r"

gpls=$out/fuzz_gpl
# A whole palette of 256 named colours (CR LF, a comment, tabs), one colour short, and one
# that is not a palette file.
{
  printf 'GIMP Palette\r\nName: seed\r\nColumns: 16\r\n# comment\r\n'
  for ((n = 0; n < 256; n++)); do printf '%3d %3d\t%3d\tIndex %d\r\n' $n $((255 - n)) $((n / 2)) $n; done
} > "$gpls/whole.gpl"
head -n 259 "$gpls/whole.gpl" > "$gpls/short.gpl"
printf 'GIMP Palette\n256 0 0\n-1 2 3\n' > "$gpls/bad.gpl"

echo "Seed inputs in $out: $(find "$out" -type f | wc -l) files"
