# The same sources for 64-bit Windows, so that the Windows tests run where 32-bit programs cannot.
set(ORV_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
