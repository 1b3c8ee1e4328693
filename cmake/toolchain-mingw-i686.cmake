# Cross-compiling for Windows with the posix-threads flavour of mingw-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(VK_TRIPLE i686-w64-mingw32)

set(CMAKE_C_COMPILER   ${VK_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VK_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${VK_TRIPLE}-windres)
set(CMAKE_AR           /usr/bin/${VK_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       /usr/bin/${VK_TRIPLE}-ranlib CACHE FILEPATH "")
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

# Static Windows builds of zlib, libpng, libjpeg-turbo, libsndfile, GoogleTest
# and Google Benchmark, made by scripts/build-windows-deps.sh.
if(DEFINED ENV{VK_DEPS_DIR})
  set(VK_DEPS_PREFIX "$ENV{VK_DEPS_DIR}/${VK_TRIPLE}")
else()
  set(VK_DEPS_PREFIX "/opt/vorn-kettle-deps/${VK_TRIPLE}")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${VK_TRIPLE} ${VK_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
