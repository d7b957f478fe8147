# 32-bit Windows programs: what ships, since the device library is 32-bit.
set(MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
