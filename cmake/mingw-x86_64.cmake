# The same sources for 64-bit Windows, for machines whose kernel cannot run
# 32-bit programs: the tests then run on this build under 64-bit Wine.
set(MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
