#!/usr/bin/env bash
# Cross-builds the Qt that Brovane's Windows program needs (QtCore, QtGui, QtWidgets, the
# qwindows platform plug-in, the Windows style plug-in, QtSerialPort) for 64-bit Windows with
# Debian 12's MinGW-w64 (posix threads), from the Qt version Debian 12 ships (6.4.2), so that
# Debian's own host tools (moc, rcc, uic from qt6-base-dev-tools) serve as QT_HOST_PATH.
# scripts/windows-qt.sh runs it when no packed Qt is at hand; it takes about 40 minutes on 2
# cores (the build: 886 steps), the build folder 674 MB, the sources 291 MB, the result 73 MB.
#
#   QTW=FOLDER build-qt-mingw.sh [STAGE...]     stages: fetch configure build install serialport
#
# Work folder: $QTW: sources, build folders and the install prefix $QTW/prefix. Every compile
# runs under `nice -n 19` with 2 jobs (JOBS=N). Qt Serial Port's source comes from
# QT_SERIALPORT_SOURCE (a tarball of upstream's tag v6.4.2, by default the one in the shared
# toolkits folder beside the clone) or else from Debian's qt6-serialport source package.
# Two things in Qt 6.4.2's sources need care (see fetch and configure): Debian's dfsg tarball
# lacks src/3rdparty/wintab (tablet events off), and qwindows.dll fails to link with Direct2D
# off unless the DirectWrite font database condition matches QtGui's.
set -euo pipefail

QTW=${QTW:?QTW names the work folder}
JOBS=${JOBS:-2}
PREFIX=$QTW/prefix
SRC=$QTW/qt6-base-6.4.2+dfsg
SPSRC=$QTW/qtserialport-6.4.2
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
QT_SERIALPORT_SOURCE=${QT_SERIALPORT_SOURCE:-$HERE/../../shared/toolkits/qtserialport-6.4.2-src.tar.xz}
# A sources-only apt configuration (deb-src for bookworm, from the mirror the system already
# uses) that leaves the system's /etc/apt alone.
APTSRC=$QTW/apt
aptsrc() {
    [ -d "$APTSRC/lists" ] && return 0
    local uri
    uri=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources)
    mkdir -p "$APTSRC/srcparts" "$APTSRC/lists/partial"
    printf 'Types: deb-src\nURIs: %s\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$uri" > "$APTSRC/srcparts/src.sources"
    apt-get -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$APTSRC/srcparts" \
            -o Dir::State::Lists="$APTSRC/lists" update
}

mkdir -p "$QTW"
cd "$QTW"

stage() { echo "=== $1: $(date -u +%H:%M:%S)"; }
timed() { local s=$SECONDS; "$@"; echo "=== $1 took $((SECONDS - s)) s"; }

# --------------------------------------------------------------------------------------------
fetch() {
    stage fetch
    if [ ! -d "$SRC" ]; then
        aptsrc
        apt-get -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$APTSRC/srcparts" \
                -o Dir::State::Lists="$APTSRC/lists" source --download-only qt6-base
        # Applies Debian's patches (CVE fixes, cross.patch, ...). The dfsg tarball lacks
        # src/3rdparty/wintab and iaccessible2 (non-free): see FEATURE_tabletevent below.
        dpkg-source -x qt6-base_6.4.2+dfsg-10.dsc
        # Qt 6.4.2 compiles its DirectWrite font database into QtGui only when Direct2D is on
        # (QtGui's sources say "directwrite && direct2d" throughout), while the qwindows plug-in
        # uses it whenever directwrite3 is on. With -DFEATURE_direct2d=OFF (below) the plug-in
        # then fails to link:
        #   qwindowsintegration.cpp:(.text+0x119): undefined reference to
        #   `__imp__ZN31QWindowsDirectWriteFontDatabaseC1Ev'
        # Give the plug-in the same condition as QtGui. (GDI stays the default font database;
        # DirectWrite's was only chosen with -platform windows:fontengine=directwrite.)
        sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
            "$SRC/src/plugins/platforms/windows/qwindowsintegration.cpp"
    fi
    if [ ! -d "$SPSRC" ]; then
        if [ -f "$QT_SERIALPORT_SOURCE" ]; then
            tar -xJf "$QT_SERIALPORT_SOURCE"
        else
            aptsrc
            apt-get -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$APTSRC/srcparts" \
                    -o Dir::State::Lists="$APTSRC/lists" source --download-only qt6-serialport
            dpkg-source -x qt6-serialport_6.4.2-*.dsc "$SPSRC"
        fi
    fi
}

# --------------------------------------------------------------------------------------------
toolchain() {
    # Qt's own toolchain file (not Brovane's cmake/mingw-w64.cmake, which links the test programs
    # with -static and runs them through Wine: right for Brovane's test programs, wrong for Qt's
    # DLLs and its build-time checks).
    cat > "$QTW/toolchain-mingw.cmake" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
# The posix-thread variant: std::thread and std::mutex exist (Qt 6 needs them); its runtime DLL
# is libwinpthread-1.dll.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# BOTH, not ONLY: the host Qt's CMake packages (Qt6HostInfo, Qt6CoreTools, ...) live outside
# the MinGW root and must still be found through QT_HOST_PATH_CMAKE_DIR.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
EOF
}

# --------------------------------------------------------------------------------------------
configure() {
    stage configure
    toolchain
    rm -rf "$QTW/build-qtbase"
    mkdir -p "$QTW/build-qtbase"
    cd "$QTW/build-qtbase"
    local args=(
        -G Ninja -S "$SRC" -B .
        -DCMAKE_TOOLCHAIN_FILE="$QTW/toolchain-mingw.cmake"
        -DCMAKE_INSTALL_PREFIX="$PREFIX"
        -DCMAKE_BUILD_TYPE=Release
        -DBUILD_SHARED_LIBS=ON
        # Debian's host Qt (same version 6.4.2): its moc/rcc/uic/syncqt run during the build.
        # Debian keeps the CMake packages in the multiarch folder, not in $QT_HOST_PATH/lib/cmake.
        -DQT_HOST_PATH=/usr
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
        -DQT_BUILD_MANUAL_TESTS=OFF
        # Modules Brovane does not use.
        -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF -DFEATURE_dbus=OFF
        -DFEATURE_testlib=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
        # No OpenGL, no Vulkan: software raster painting through GDI is all widgets need.
        -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF
        # Debian's dfsg tarball drops src/3rdparty/wintab (wintab.h, non-free licence); the
        # qwindows plug-in's tablet support includes it. No tablets, then.
        -DFEATURE_tabletevent=OFF
        # The separate Direct2D platform plug-in (qdirect2d.dll): not needed, saves build time.
        -DFEATURE_direct2d=OFF
        # Windows draws text with DirectWrite/GDI; FreeType is optional there.
        -DFEATURE_freetype=OFF
        # Image formats: PNG (built into QtGui; the plug-in's cursors and Brovane's icons need
        # it); no JPEG/GIF plug-ins.
        -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
        # No MinGW builds of these libraries in Debian: Qt's bundled copies (zlib, pcre2,
        # harfbuzz, libpng, double-conversion) or nothing (zstd, ICU: Windows' own APIs).
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
        -DFEATURE_system_png=OFF -DFEATURE_system_doubleconversion=OFF -DFEATURE_zstd=OFF
        -DFEATURE_icu=OFF -DFEATURE_glib=OFF
        # The host's pkg-config would offer Linux libraries to the Windows build.
        -DFEATURE_pkg_config=OFF
        # Debian's cross.patch lets androiddeployqt build when cross-compiling: not wanted.
        -DFEATURE_androiddeployqt=OFF
    )
    cmake "${args[@]}" 2>&1 | tee "$QTW/configure-qtbase.log"
}

# --------------------------------------------------------------------------------------------
build() {
    stage build
    cd "$QTW/build-qtbase"
    nice -n 19 ninja -j"$JOBS" 2>&1 | tee "$QTW/build-qtbase.log" | grep -E '^\[[0-9]+/[0-9]+\]' \
        | awk 'NR % 100 == 0' || true
    test "${PIPESTATUS[0]}" -eq 0
}

install() {
    stage install
    cd "$QTW/build-qtbase"
    cmake --install . 2>&1 | tail -3
}

# --------------------------------------------------------------------------------------------
serialport() {
    stage serialport
    rm -rf "$QTW/build-qtserialport"
    # qt-cmake of the installed cross Qt carries the toolchain, QT_HOST_PATH and the prefix.
    "$PREFIX/bin/qt-cmake" -G Ninja -S "$SPSRC" -B "$QTW/build-qtserialport" \
        -DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
        2>&1 | tee "$QTW/configure-qtserialport.log" | tail -5
    nice -n 19 ninja -C "$QTW/build-qtserialport" -j"$JOBS" 2>&1 | tail -3
    cmake --install "$QTW/build-qtserialport" 2>&1 | tail -3
}

# --------------------------------------------------------------------------------------------
stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=(fetch configure build install serialport)
for s in "${stages[@]}"; do
    cd "$QTW"
    timed "$s"
done
