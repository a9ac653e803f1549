# Shared part of the MinGW-w64 cross toolchains; PLOVIK_MINGW_TRIPLE is set
# by the toolchain file that includes this one, and PLOVIK_MINGW_THREADS too
# where it is not the default.
# The posix thread model by default: GoogleTest, for the Windows tests, needs
# std::mutex. The program itself uses Win32 threads only, so the release
# builds take the win32 model, which carries no winpthread.
if(NOT PLOVIK_MINGW_THREADS)
  set(PLOVIK_MINGW_THREADS posix)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${PLOVIK_MINGW_TRIPLE}-gcc-${PLOVIK_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${PLOVIK_MINGW_TRIPLE}-g++-${PLOVIK_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${PLOVIK_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PLOVIK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
