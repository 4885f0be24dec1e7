# Cross build for 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
# The win32 threads variant of the compiler is named on purpose: the program
# starts no thread, and that variant's static run-time needs no
# libwinpthread beside the exe.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(mingwTriplet i686-w64-mingw32)
set(CMAKE_C_COMPILER ${mingwTriplet}-gcc-win32)
set(CMAKE_CXX_COMPILER ${mingwTriplet}-g++-win32)
set(CMAKE_RC_COMPILER ${mingwTriplet}-windres)

# Headers and libraries come from the cross tree only; programs run during
# the build (cmake -P for the shader texts) are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${mingwTriplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
