# The headless backend itself: the stand-in back buffer behaves as a window's,
# and the message queue, keys and clock behave as the shell expects.
add_executable(headless_platform_tests ${CMAKE_CURRENT_LIST_DIR}/HeadlessTest.cpp)
target_link_libraries(headless_platform_tests PRIVATE
  "$<LINK_GROUP:RESCAN,vemlodar_shell,vemlodar_graphics,vemlodar_platform_headless>"
  GTest::gtest_main)
gtest_discover_tests(headless_platform_tests)
