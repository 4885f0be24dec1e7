# The glyph artwork coder: the committed runs must be what the tool makes now,
# and its coder must round-trip through the presentation's decoder.
#
# The same file is the comparing script: run with -P, it runs FONTGEN into
# OUTPUT_DIR and fails when the runs differ from COMMITTED.
if(CMAKE_SCRIPT_MODE_FILE)
  file(REMOVE_RECURSE ${OUTPUT_DIR})
  file(MAKE_DIRECTORY ${OUTPUT_DIR})
  execute_process(COMMAND ${FONTGEN} ${OUTPUT_DIR}/glyphRuns.cpp ${OUTPUT_DIR}/font-atlas.png
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "fontgen failed (${status})")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files --ignore-eol
    ${OUTPUT_DIR}/glyphRuns.cpp ${COMMITTED} RESULT_VARIABLE different)
  if(NOT different EQUAL 0)
    message(FATAL_ERROR "assets/glyphRuns.cpp is not what tools/fontgen makes now "
      "(fresh output: ${OUTPUT_DIR}/glyphRuns.cpp). Regenerate with "
      "`cmake --build <build folder> --target fontgen_update` and commit it with "
      "docs/font-atlas.png.")
  endif()
  return()
endif()

if(TARGET fontgen)
  add_test(NAME FontgenReproducesTheCommittedGlyphRuns
    COMMAND ${CMAKE_COMMAND}
      -DFONTGEN=$<TARGET_FILE:fontgen>
      -DOUTPUT_DIR=${CMAKE_CURRENT_BINARY_DIR}/fontgen-check
      -DCOMMITTED=${CMAKE_SOURCE_DIR}/assets/glyphRuns.cpp
      -P ${CMAKE_CURRENT_LIST_FILE})

  add_executable(run_length_coder_tests ${CMAKE_CURRENT_LIST_DIR}/RunLengthCoderTest.cpp)
  target_link_libraries(run_length_coder_tests PRIVATE
    fontgen_coder vemlodar_graphics vemlodar_platform_headless vemlodar_shell GTest::gtest_main)
  gtest_discover_tests(run_length_coder_tests)
endif()
