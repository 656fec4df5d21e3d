#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it as a technician's machine would
# see it: file name, control fields, the files and links it installs, lintian, the desktop
# entry, the software centre's entry, the hardening of the programs, installing and purging in a
# scratch dpkg root, and the installed program finding its language files when started through
# a link.
#   tests/packaging/check-package.sh BUILD-FOLDER
set -euo pipefail

build=$(cd "$1" && pwd)
scratch="$build/package-check"
rm -rf "$scratch"
mkdir -p "$scratch"
pid=""
trace="$scratch/trace.txt"
# Ends the program we started: strace follows it, so the program (the first process in the
# trace) is ended, and strace ends with it.
stop() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    local program
    program=$(awk 'NR == 1 { print $1 }' "$trace" 2>/dev/null)
    if [ -n "$program" ]; then
      kill -TERM "$program" 2>/dev/null || true
    else
      kill -TERM "$pid" 2>/dev/null || true
    fi
    wait "$pid" 2>/dev/null || true
  fi
}
trap stop EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
cpack --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; exit 1; }
deb="$scratch/brovane_${version}_amd64.deb"
[ -f "$deb" ] || { ls "$scratch" >&2; echo "FAIL: no $deb" >&2; exit 1; }
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# Control fields; the shared-library dependencies are found by dpkg-shlibdeps.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = brovane ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)'"
[ "$(field Architecture)" = amd64 ] || fail "Architecture is '$(field Architecture)'"
[ "$(field Section)" = electronics ] || fail "Section is '$(field Section)'"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@]+@[^\>]+\>$ ]] || fail "Maintainer is '$(field Maintainer)'"
for library in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqt6serialport6; do
  field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qxF "$library" ||
    fail "Depends lacks $library: $(field Depends)"
done
field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qxF fonts-dejavu-core ||
  fail "Depends lacks fonts-dejavu-core (the program asks for DejaVu Sans): $(field Depends)"
[[ "$(field Homepage)" =~ ^https:// ]] || fail "Homepage is '$(field Homepage)'"
[ "$(field Description | wc -l)" -ge 3 ] || fail "Description has no long text"

# Every file and link the package installs, and nothing else.
programs=(brovane quorix-sim)
[ -x "$build/bin/brovane-cli" ] && programs+=(brovane-cli)
expected=(
  ./opt/brovane/cards/kft018-demo.reg ./opt/brovane/lang_00.ini ./opt/brovane/lang_01.ini
  ./opt/brovane/lang_02.ini ./usr/share/applications/brovane.desktop
  ./usr/share/doc/brovane/changelog.gz ./usr/share/doc/brovane/copyright
  ./usr/share/lintian/overrides/brovane ./usr/share/man/man1/brovane.1.gz
  ./usr/share/man/man1/quorix-sim.1.gz ./usr/share/metainfo/com.example.brovane.metainfo.xml
)
for size in 16 24 32 48 64 128 256; do
  expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/brovane.png")
done
[ -x "$build/bin/brovane-cli" ] && expected+=(./usr/share/man/man1/brovane-cli.1.gz)
for program in "${programs[@]}"; do
  expected+=("./opt/brovane/$program" "./usr/bin/$program -> /opt/brovane/$program")
done
dpkg-deb -c "$deb" | grep -v '^d' | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' |
  sort >"$scratch/files.txt"
printf '%s\n' "${expected[@]}" | sort >"$scratch/expected.txt"
diff -u "$scratch/expected.txt" "$scratch/files.txt" || fail "file list differs (- expected, + packaged)"

# lintian: no errors and no warnings; every remaining tag, the pedantic ones included, is shown.
lintian --pedantic --display-info --tag-display-limit 0 "$deb" >"$scratch/lintian.txt" 2>&1 || true
grep -v '^running with root' "$scratch/lintian.txt" || true
grep -q '^[EW]:' "$scratch/lintian.txt" && fail "lintian reports errors or warnings"

dpkg-deb -x "$deb" "$scratch/root"
desktop-file-validate "$scratch/root/usr/share/applications/brovane.desktop" ||
  fail "desktop-file-validate rejects the desktop entry"
for language in de it; do
  for key in Name GenericName Comment; do
    grep -q "^$key\[$language\]=" "$scratch/root/usr/share/applications/brovane.desktop" ||
      fail "the desktop entry has no $key[$language]"
  done
done
grep -qx 'StartupNotify=true' "$scratch/root/usr/share/applications/brovane.desktop" ||
  fail "the desktop entry does not announce its start (StartupNotify)"

# The software centre's entry: valid, and its launchable is the desktop entry beside it.
appstreamcli validate --no-net "$scratch/root/usr/share/metainfo/"*.metainfo.xml ||
  fail "appstreamcli rejects the metainfo file"
appstreamcli validate-tree --no-net "$scratch/root" || fail "appstreamcli rejects the tree"
grep -q "<release version=\"$version\"" "$scratch/root/usr/share/metainfo/"*.metainfo.xml ||
  fail "the metainfo file lists no release $version"
grep -q '<launchable type="desktop-id">brovane.desktop</launchable>' \
  "$scratch/root/usr/share/metainfo/"*.metainfo.xml || fail "the metainfo file launches no brovane.desktop"

# Built as Debian builds its packages: fortified functions, read-only relocations, bound now.
for program in "${programs[@]}"; do
  binary="$scratch/root/opt/brovane/$program"
  # Read whole before grep looks: grep -q leaving early would fail the pipe.
  headers=$(readelf -lW "$binary")
  dynamic=$(readelf -dW "$binary")
  symbols=$(readelf --dyn-syms -W "$binary")
  grep -q GNU_RELRO <<<"$headers" || fail "$program has no read-only relocations"
  grep -qE 'BIND_NOW|FLAGS.*NOW' <<<"$dynamic" || fail "$program is not bound now"
  grep -q '__[a-z_]*_chk@' <<<"$symbols" || fail "$program uses no fortified functions"
done

# Installed and purged in a scratch dpkg root, as on a fresh machine where no other package
# owns /opt: the purge takes the package's files and leaves /opt in place.
dpkgroot="$scratch/dpkg-root"
mkdir -p "$dpkgroot/var/lib/dpkg/info" "$dpkgroot/var/lib/dpkg/updates"
: >"$dpkgroot/var/lib/dpkg/status"
: >"$dpkgroot/var/lib/dpkg/available"
scratch_dpkg() {
  local as=()
  [ "$(id -u)" -ne 0 ] && as=(fakeroot)
  # dpkg looks for ldconfig and start-stop-daemon, which a user's path may lack.
  PATH="$PATH:/usr/sbin:/sbin" "${as[@]}" dpkg --root="$dpkgroot" --log=/dev/null \
    --force-depends --force-script-chrootless --force-not-root "$@" >>"$scratch/dpkg.log" 2>&1
}
scratch_dpkg --install "$deb" || { cat "$scratch/dpkg.log" >&2; fail "dpkg cannot install the package"; }
[ -x "$dpkgroot/opt/brovane/brovane" ] || fail "the scratch install has no /opt/brovane/brovane"
scratch_dpkg --purge brovane || { cat "$scratch/dpkg.log" >&2; fail "dpkg cannot purge the package"; }
[ -d "$dpkgroot/opt" ] || fail "purging the package removed /opt"
[ -e "$dpkgroot/opt/brovane" ] && fail "purging the package left /opt/brovane"
left=$(cd "$dpkgroot" && find . -mindepth 1 -path ./var -prune -o ! -path ./opt -print)
[ -z "$left" ] || fail "purging the package left: $left"

# The program started through links (as /usr/bin/brovane leads to /opt/brovane/brovane) reads
# the language files beside its real path: the language dialog reads their first lines.
# Two links deep, the second one relative, as a user's own link to /usr/bin/brovane would be.
mkdir -p "$scratch/bin" "$scratch/links"
ln -s "$scratch/root/opt/brovane/brovane" "$scratch/links/brovane"
ln -s ../links/brovane "$scratch/bin/brovane"
: >"$trace"
(cd "$scratch" && exec env QT_QPA_PLATFORM=offscreen strace -f -e trace=openat -o "$trace" \
  "$scratch/bin/brovane" >"$scratch/brovane.log" 2>&1) &
pid=$!
opened() { grep -c "\"$scratch/root/opt/brovane/lang_0[0-2].ini\", O_RDONLY) = [0-9]" "$trace"; }
for _ in $(seq 1 300); do
  [ "$(opened)" -ge 3 ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
[ "$(opened)" -ge 3 ] || { cat "$scratch/brovane.log" >&2; fail "the installed brovane did not read its language files"; }
grep -q "\"$build/bin/lang_" "$trace" && fail "the installed brovane read the build folder's language files"
stop
pid=""

ln -s "$scratch/root/opt/brovane/quorix-sim" "$scratch/bin/quorix-sim"
"$scratch/bin/quorix-sim" --help >/dev/null 2>&1 || fail "the installed quorix-sim does not start"

if [ "$failures" -ne 0 ]; then
  exit 1
fi
rm -rf "$scratch"
echo "package check passed"
