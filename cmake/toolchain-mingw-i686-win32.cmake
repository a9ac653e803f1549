# The release build: as toolchain-mingw-i686.cmake, with the win32 thread model.
set(PLOVIK_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-i686.cmake)
