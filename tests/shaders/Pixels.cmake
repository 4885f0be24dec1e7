# The shader programs drawn on the headless backend and compared with the CPU
# reference (Reference.cmake defines shader_reference).
if(TARGET vemlodar_platform_headless)
  add_executable(shader_pixel_tests ${CMAKE_CURRENT_LIST_DIR}/PixelsTest.cpp)
  target_link_libraries(shader_pixel_tests PRIVATE
    shader_reference shader_passes vemlodar_graphics vemlodar_platform_headless vemlodar_shell GTest::gtest_main)
  # Listing the tests runs the program without drawing; the draws themselves
  # take a few seconds each on llvmpipe.
  gtest_discover_tests(shader_pixel_tests PROPERTIES TIMEOUT 300)
endif()
