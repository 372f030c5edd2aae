# The shipped program: 32-bit Windows, XP to 11.
set(ORV_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
