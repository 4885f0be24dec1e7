# Graphics set-up: the noise volume's values, and InitGraphics on the headless
# backend (Mesa's llvmpipe where there is no GPU).
add_executable(graphics_setup_tests
  ${CMAKE_CURRENT_LIST_DIR}/NoiseVolumeTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InitGraphicsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MissingEntryPointStartUpTest.cpp)
# The shell, the set-up and the backend call each other (handle globals,
# InitGraphics, the platform calls): one group, searched until all resolve.
target_link_libraries(graphics_setup_tests PRIVATE
  "$<LINK_GROUP:RESCAN,vemlodar_shell,vemlodar_graphics,vemlodar_platform_headless>"
  GTest::gtest_main)
gtest_discover_tests(graphics_setup_tests)
