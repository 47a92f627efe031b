# Cross-compiles the 32-bit Windows programs with mingw-w64. ZV_THREAD_MODEL picks the runtime: win32
# (the default, what the shipped programs use: its runtime imports only what Windows 95 and NT 4
# export) or posix (what GoogleTest and the test programs need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

if(NOT ZV_THREAD_MODEL)
  set(ZV_THREAD_MODEL win32)
endif()
set(ZV_THREAD_MODEL ${ZV_THREAD_MODEL} CACHE STRING "mingw-w64 thread model: win32 or posix")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZV_THREAD_MODEL)

set(ZV_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${ZV_MINGW_PREFIX}-gcc-${ZV_THREAD_MODEL})
set(CMAKE_CXX_COMPILER ${ZV_MINGW_PREFIX}-g++-${ZV_THREAD_MODEL})
set(CMAKE_RC_COMPILER  ${ZV_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Ship without the mingw runtime DLLs: everything static, only system DLLs imported.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
