# 32-bit Windows, the system's own target. No emulator: 32-bit Wine is not
# installed here, so the programs are built and linked, not run.
set(ORB_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
