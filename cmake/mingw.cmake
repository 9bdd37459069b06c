# What both MinGW-w64 toolchain files share: Debian's cross compilers for
# SPLASH_MINGW_ARCH (i686 or x86_64); the programs are linked statically and
# run under Wine.
#
# SPLASH_MINGW_THREADS picks the compilers' thread flavour. The programs that
# ship take win32: the posix flavour links the static winpthreads library,
# which imports GetTickCount64, and Windows XP's loader then refuses the
# program. The program's own code needs no C++ threads (its thread_local and
# std::atomic work in either flavour). The tests take posix for their
# std::thread. Left unset, a build with SPLASH_TESTS takes posix.
if(NOT DEFINED SPLASH_MINGW_THREADS)
  if(SPLASH_TESTS)
    set(SPLASH_MINGW_THREADS posix)
  else()
    set(SPLASH_MINGW_THREADS win32)
  endif()
endif()
if(NOT SPLASH_MINGW_THREADS MATCHES "^(win32|posix)$")
  message(FATAL_ERROR "SPLASH_MINGW_THREADS must be win32 or posix, not '${SPLASH_MINGW_THREADS}'")
endif()
# The compiler checks' projects read this file again and must pick the same compilers.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SPLASH_MINGW_THREADS)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${SPLASH_MINGW_ARCH})
set(CMAKE_C_COMPILER ${SPLASH_MINGW_ARCH}-w64-mingw32-gcc-${SPLASH_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${SPLASH_MINGW_ARCH}-w64-mingw32-g++-${SPLASH_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${SPLASH_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SPLASH_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-exec.sh)
