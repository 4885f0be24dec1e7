# The soundtrack composer: the committed module must be what tools/modgen
# makes now, must load and sound as a four-channel module, and must keep
# sounding through our music calls when they loop it.
#
# The same file is the comparing script: run with -P, it runs MODGEN into
# OUTPUT_DIR and fails when the module differs from COMMITTED.
if(CMAKE_SCRIPT_MODE_FILE)
  file(REMOVE_RECURSE ${OUTPUT_DIR})
  file(MAKE_DIRECTORY ${OUTPUT_DIR})
  execute_process(COMMAND ${MODGEN} ${OUTPUT_DIR}/soundtrack.mod RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "modgen failed (${status})")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
    ${OUTPUT_DIR}/soundtrack.mod ${COMMITTED} RESULT_VARIABLE different)
  if(NOT different EQUAL 0)
    message(FATAL_ERROR "\"${COMMITTED}\" is not what tools/modgen makes now "
      "(fresh output: ${OUTPUT_DIR}/soundtrack.mod). Regenerate with "
      "`cmake --build <build folder> --target modgen_update` and commit it with "
      "docs/soundtrack.png.")
  endif()
  return()
endif()

if(TARGET modgen)
  set(soundtrackModule "${CMAKE_SOURCE_DIR}/orvanth - fenwarrow_s vessick..mod")
  add_test(NAME ModgenReproducesTheCommittedSoundtrack
    COMMAND ${CMAKE_COMMAND}
      -DMODGEN=$<TARGET_FILE:modgen>
      -DOUTPUT_DIR=${CMAKE_CURRENT_BINARY_DIR}/modgen-check
      -DCOMMITTED=${soundtrackModule}
      -P ${CMAKE_CURRENT_LIST_FILE})
  set_tests_properties(ModgenReproducesTheCommittedSoundtrack PROPERTIES LABELS soundtrack)

  # The music calls over a stand-in output that the test drives itself, so
  # that minutes of music are heard in a second.
  add_executable(soundtrack_module_tests
    ${CMAKE_CURRENT_LIST_DIR}/SoundtrackModuleTest.cpp
    ${CMAKE_SOURCE_DIR}/platform/bassmod_openmpt.cpp)
  target_compile_definitions(soundtrack_module_tests PRIVATE SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_link_libraries(soundtrack_module_tests PRIVATE PkgConfig::OPENMPT GTest::gtest_main)
  gtest_discover_tests(soundtrack_module_tests PROPERTIES LABELS soundtrack)
endif()
