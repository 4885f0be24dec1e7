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

# Our BASSMOD.dll, shipped beside the exe: the same music calls as on Linux
# (platform/bassmod_openmpt.cpp), decoding with libopenmpt built here from
# source, playing through waveOut. The .def file names the exports, which
# --kill-at strips of their stdcall decoration.
# Its run-time is linked in as the exe's is, so it imports only
# the system's DLLs.
include(cmake/Libopenmpt.cmake)
add_library(BASSMOD SHARED
  platform/bassmod_openmpt.cpp
  platform/music_output_waveout.cpp
  platform/BASSMOD.def)
set_target_properties(BASSMOD PROPERTIES PREFIX "" OUTPUT_NAME BASSMOD SUFFIX .dll)
target_link_libraries(BASSMOD PRIVATE libopenmpt_static winmm)
# -s: the symbol table would double the size of what is shipped.
target_link_options(BASSMOD PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--kill-at -s)
