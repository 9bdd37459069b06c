# Cross-compiling for 64-bit Windows: the test build of the same sources for
# machines whose kernel runs no 32-bit programs, and so no 32-bit Wine. The
# program that ships stays 32-bit.
set(SPLASH_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
