# 64-bit Windows. Programs built here run under wine64 (the tests, and
# orbtool making the samples), in a prefix of the build tree.
set(ORB_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
if(EXISTS /usr/lib/wine/wine64)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      env ORB_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix ${CMAKE_CURRENT_LIST_DIR}/wine-run)
endif()
