# Cross build for Windows with MinGW-w64 (win32 thread model: no winpthread DLL beside the exe).
# Included by the toolchain files, which set ORV_MINGW_ARCH (i686 or x86_64) first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${ORV_MINGW_ARCH})
set(CMAKE_C_COMPILER ${ORV_MINGW_ARCH}-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER ${ORV_MINGW_ARCH}-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER ${ORV_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ORV_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Windows test programs run under Wine as an unprivileged user (Wine as root ignores read-only files), with the
# Wine of the build's architecture.
set(CMAKE_CROSSCOMPILING_EMULATOR env ORV_WINE_ARCH=${ORV_MINGW_ARCH} ${CMAKE_CURRENT_LIST_DIR}/../tests/wine/run-exe.sh)
