# Cross build for 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
set(CMAKE_SYSTEM_PROCESSOR i686)
set(mingwTriplet i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
