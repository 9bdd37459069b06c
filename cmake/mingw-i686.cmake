# Cross-compiling for 32-bit Windows: the program that ships.
set(SPLASH_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
