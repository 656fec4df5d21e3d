#!/usr/bin/env bash
# Prints the folder of the Qt for 64-bit Windows (MinGW-w64) that the Windows build uses,
# making it first when needed:
#   scripts/windows-qt.sh ARCHIVE CACHE
# ARCHIVE is a packed Qt (prefix/ inside, as ../shared/toolkits/qt-6.4.2-mingw-w64.tar.xz):
# unpacked once into CACHE, again only when the archive changes. Where there is no ARCHIVE, the
# same Qt is built from Debian's source into CACHE once (scripts/build-qt-mingw.sh, about 40
# minutes on 2 cores). CACHE lies outside the clone, so a fresh clone reuses it.
set -euo pipefail
archive=$1 cache=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mkdir -p "$cache"

if [ -f "$archive" ]; then
  name=$(basename "$archive")
  folder="$cache/${name%%.tar*}"
  stamp="$(stat -c '%s %Y' "$archive")"
  if [ ! -x "$folder/prefix/bin/qt-cmake" ] || [ "$(cat "$folder/archive" 2>/dev/null)" != "$stamp" ]; then
    echo "windows-qt: unpacking $archive into $folder" >&2
    rm -rf "$folder.new"
    mkdir -p "$folder.new"
    tar -C "$folder.new" -xJf "$archive"
    echo "$stamp" >"$folder.new/archive"
    rm -rf "$folder"
    mv "$folder.new" "$folder"
  fi
else
  folder="$cache/qt-6.4.2-mingw-w64-built"
  if [ ! -x "$folder/prefix/bin/qt-cmake" ]; then
    echo "windows-qt: no $archive; building Qt for MinGW-w64 into $folder (about 40 minutes)" >&2
    QTW="$folder" "$here/build-qt-mingw.sh" >&2
  fi
fi
echo "$folder/prefix"
