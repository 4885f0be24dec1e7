# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64):
# not a target of its own, but the same program for wine64 on machines whose
# kernel runs no 32-bit code, where the 32-bit exe cannot be started at all.
#   cmake -S . -B build-windows64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
# The win32 threads variant of the compiler is named on purpose: the program
# starts no thread, and that variant's static run-time needs no
# libwinpthread beside the exe.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingwTriplet x86_64-w64-mingw32)
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
