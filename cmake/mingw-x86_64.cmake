# Cross-compiles the Windows test programs, and the programs they drive, for 64-bit Windows with
# mingw-w64 (POSIX threads, which GoogleTest needs). They run under 64-bit Wine, which machines that
# cannot execute 32-bit code still run; the shipped 32-bit programs come from mingw-i686.cmake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${ZV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${ZV_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
