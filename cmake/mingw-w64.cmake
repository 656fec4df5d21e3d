# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads). The core build (the
# parts without Qt) runs its test programs through Wine (scripts/wine-test.sh). The whole program
# is configured with the Qt for MinGW's qt-cmake, which chain-loads this file
# (-DQT_CHAINLOAD_TOOLCHAIN_FILE) and adds that Qt to the search paths.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
if(BROVANE_CORE_ONLY)
    set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
    # Static runtime: the test programs start under Wine without MinGW's DLLs beside them.
    set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
else()
    # The host's Qt tools (moc, rcc, uic of Debian's Qt of the same version) are found through
    # QT_HOST_PATH_CMAKE_DIR, outside the MinGW root. The programs share the C++ runtime DLLs
    # with the Qt DLLs they use, shipped beside them.
    set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
endif()
# Every test program runs under Wine where no serial device of the host can be reached.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-test.sh)
