# vemlodar-capture: bad arguments, pictures and sequences, video with sound,
# and a capture split over processes and joined again. Renders at 512 x 256,
# the smallest window, to stay cheap on a software renderer.
if(TARGET vemlodar-capture)
  set(captureTool $<TARGET_FILE:vemlodar-capture>)

  add_test(NAME CaptureRefusesBadArgumentsAndLeavesNothing
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/capture-arguments.sh ${captureTool})
  add_test(NAME CapturePicturesRepeatAndSequencesAddUp
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/capture-pictures.sh ${captureTool})
  add_test(NAME CaptureVideoHasItsLengthAndSound
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/capture-video.sh ${captureTool} $<TARGET_FILE:writeTestModule>)
  add_test(NAME CaptureSplitWithParallelJoinsExactly
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/capture-split-join.sh ${captureTool} $<TARGET_FILE:writeTestModule>)
  set_tests_properties(
    CaptureRefusesBadArgumentsAndLeavesNothing CapturePicturesRepeatAndSequencesAddUp
    CaptureVideoHasItsLengthAndSound CaptureSplitWithParallelJoinsExactly
    PROPERTIES TIMEOUT 300 LABELS capture)

  find_package(PNG REQUIRED)
  add_executable(capture_background_tests ${CMAKE_CURRENT_LIST_DIR}/CaptureBackgroundTest.cpp)
  target_link_libraries(capture_background_tests PRIVATE shader_reference PNG::PNG GTest::gtest_main)
  target_compile_definitions(capture_background_tests PRIVATE CAPTURE_TOOL="${captureTool}")
  add_dependencies(capture_background_tests vemlodar-capture)
  gtest_discover_tests(capture_background_tests PROPERTIES TIMEOUT 300 LABELS capture)
endif()
