# Shared part of the MinGW-w64 cross toolchains; PLOVIK_MINGW_TRIPLE is set
# The posix thread model: GoogleTest, for the Windows tests, needs std::mutex.
# by the toolchain file that includes this one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${PLOVIK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PLOVIK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PLOVIK_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PLOVIK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
