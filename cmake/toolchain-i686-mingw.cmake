# Cross-compiling for 32-bit Windows with mingw-w64. 32-bit programs do not run under the
# 64-bit-only Wine here: this build is compile-checked only.
set(OVK_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
