# Cross-compiles for 32-bit Windows with mingw-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Windows promises a caller's stack aligned to 4 bytes, not the 16 that GCC
# assumes on i686: every function here takes 4, and one that needs an
# aligned slot (an SSE2 spill) realigns its own frame. Hosts built by other
# compilers call the engine so. Calls keep 4 as well, so that a function
# does not realign its frame (and give up a register to do it) merely
# because it calls another; the toolchain's libraries need no more.
set(CMAKE_C_FLAGS_INIT "-mincoming-stack-boundary=2 -mpreferred-stack-boundary=2")
set(CMAKE_CXX_FLAGS_INIT "-mincoming-stack-boundary=2 -mpreferred-stack-boundary=2")
