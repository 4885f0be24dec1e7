# libopenmpt for the Windows build: Debian's own source package, of the
# version the Linux build links against, compiled here as a static library
# with the cross compiler. Only module decoding is built: no zlib, mpg123,
# ogg or vorbis, so modules with compressed or MP3/Vorbis samples load
# without those samples, and nothing but the system's DLLs is needed.
#
# The source is fetched once into this build tree, and the library's objects
# stay here too, so it is compiled once per clean build.

set(libopenmptSource ${CMAKE_BINARY_DIR}/libopenmpt-source)
if(NOT EXISTS ${libopenmptSource}/libopenmpt/libopenmpt.h)
  message(STATUS "Fetching Debian's libopenmpt source package")
  execute_process(
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/fetch-libopenmpt-source.sh ${libopenmptSource}
    OUTPUT_QUIET
    RESULT_VARIABLE fetched)
  if(NOT fetched EQUAL 0)
    message(FATAL_ERROR "Could not fetch libopenmpt's source package")
  endif()
endif()
file(STRINGS ${libopenmptSource}/debian/changelog libopenmptChangelog LIMIT_COUNT 1)
string(REGEX REPLACE "^[^(]*\\(([^)]*)\\).*" "\\1" libopenmptVersion "${libopenmptChangelog}")
message(STATUS "libopenmpt ${libopenmptVersion} from Debian's source package, built for ${CMAKE_SYSTEM_PROCESSOR}")

# The library's own list of sources, as its Makefile.am builds libopenmpt.la:
# the common, soundlib (with its built-in plugins) and sounddsp files and the
# four files of the library interface.
file(STRINGS ${libopenmptSource}/Makefile.am libopenmptListed
  REGEX "^MPT_FILES_(COMMON|SOUNDLIB|SOUNDDSP) \\+= .*\\.cpp$")
list(TRANSFORM libopenmptListed REPLACE "^[A-Z_]+ \\+= " "${libopenmptSource}/")
list(LENGTH libopenmptListed libopenmptListedCount)
if(libopenmptListedCount LESS 50)
  message(FATAL_ERROR "libopenmpt's Makefile.am lists only ${libopenmptListedCount} sources: its layout has changed")
endif()
foreach(interface c cxx impl ext_impl)
  list(APPEND libopenmptListed ${libopenmptSource}/libopenmpt/libopenmpt_${interface}.cpp)
endforeach()

add_library(libopenmpt_static STATIC ${libopenmptListed})
target_compile_definitions(libopenmpt_static PRIVATE LIBOPENMPT_BUILD)
target_include_directories(libopenmpt_static
  PRIVATE ${libopenmptSource} ${libopenmptSource}/common ${libopenmptSource}/src
          ${libopenmptSource}/build/svn_version
  INTERFACE ${libopenmptSource})
# Its code, not ours: its warnings are not ours to read.
target_compile_options(libopenmpt_static PRIVATE -w)
# The soundlib's own unique-identifier code calls ole32 and rpcrt4.
target_link_libraries(libopenmpt_static INTERFACE ole32 rpcrt4)
