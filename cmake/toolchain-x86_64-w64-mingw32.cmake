# Cross build for x86_64 Windows with the posix-thread mingw-w64 compilers.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KESTREL_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${KESTREL_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTREL_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTREL_TRIPLE}-windres)

# Libraries built by scripts/bootstrap live in a cache outside the repository.
if(DEFINED ENV{KESTREL_DEPS})
  set(KESTREL_DEPS_ROOT "$ENV{KESTREL_DEPS}")
else()
  set(KESTREL_DEPS_ROOT /var/cache/kestrel-deps)
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${KESTREL_TRIPLE} "${KESTREL_DEPS_ROOT}/${KESTREL_TRIPLE}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
