# The presentation for Windows, built with a MinGW-w64 toolchain file
# (cmake/mingw-i686.cmake). The shell, set-up, frame, shader and asset code is
# the same as everywhere; the platform calls are the system's own, so the
# only platform file is the music library's loader. No test is built here:
# the Linux build's tests/windows drive this build and run its exe under Wine.

target_link_libraries(vemlodar_graphics PUBLIC opengl32 glu32)

# The shell's objects go straight into the exe: the run-time start-up that
# calls WinMain sits in a library linked after ours, too late to pull WinMain
# out of an archive.
add_executable(vemlodar WIN32
  $<TARGET_OBJECTS:vemlodar_shell>
  platform/bassmod_win32.cpp)
target_link_libraries(vemlodar PRIVATE vemlodar_graphics opengl32 glu32 winmm gdi32 user32)

# The compiler's own run-time (libgcc, libstdc++) is linked in, so the exe
# needs nothing beside it but the system's DLLs and, for sound, BASSMOD.dll.
target_link_options(vemlodar PRIVATE -static -static-libgcc -static-libstdc++)
