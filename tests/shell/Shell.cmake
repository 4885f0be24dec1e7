# The shell's logic on the scripted platform: no window, no GL, no sound.
add_executable(shellTests
  ${CMAKE_CURRENT_LIST_DIR}/ShellTest.cpp)
target_link_libraries(shellTests PRIVATE vemlodar_shell vemlodar_platform_script GTest::gtest_main)
gtest_discover_tests(shellTests)
