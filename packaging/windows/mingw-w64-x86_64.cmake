# Cross-compiling for 64-bit Windows with Debian's mingw-w64. The posix thread model, because
# the win32 one has no std::mutex or std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(ZENTAVO_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${ZENTAVO_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZENTAVO_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZENTAVO_MINGW}-windres)

# The cross-built ICU and Qt share one prefix, handed in by the scripts that configure.
set(CMAKE_FIND_ROOT_PATH /usr/${ZENTAVO_MINGW})
if(ZENTAVO_WINDOWS_PREFIX)
    list(APPEND CMAKE_FIND_ROOT_PATH "${ZENTAVO_WINDOWS_PREFIX}")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZENTAVO_WINDOWS_PREFIX)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
