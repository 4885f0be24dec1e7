# What both MinGW-w64 toolchain files share; each names its processor and
# triplet and includes this.
# The win32 threads variant of the compiler is named on purpose: the program
# starts no thread, and that variant's static run-time needs no
# libwinpthread beside the exe.
set(CMAKE_SYSTEM_NAME Windows)

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
