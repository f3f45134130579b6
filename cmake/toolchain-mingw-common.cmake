# Shared part of the mingw-w64 toolchain files; the including file sets OVK_MINGW_TRIPLE and
# CMAKE_SYSTEM_PROCESSOR. The posix thread model is used: the win32 model has no std::mutex,
# which GoogleTest and the base library need.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${OVK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OVK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${OVK_MINGW_TRIPLE}-windres)
set(OVK_WINDMC         ${OVK_MINGW_TRIPLE}-windmc)
set(CMAKE_FIND_ROOT_PATH /usr/${OVK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
