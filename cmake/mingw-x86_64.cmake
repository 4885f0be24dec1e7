# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64):
# not a target of its own, but the same program for wine64 on machines whose
# kernel runs no 32-bit code, where the 32-bit exe cannot be started at all.
#   cmake -S . -B build-windows64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingwTriplet x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
