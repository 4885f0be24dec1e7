# The glyph table, the run decoder, the decoded artwork, and the atlas upload
# on the headless backend.
add_executable(font_atlas_tests
  ${CMAKE_CURRENT_LIST_DIR}/FontAtlasTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FontAtlasUploadTest.cpp)
# The shell last: the backend and the set-up both use its handle globals.
target_link_libraries(font_atlas_tests PRIVATE
  vemlodar_graphics vemlodar_platform_headless vemlodar_shell GTest::gtest_main)
gtest_discover_tests(font_atlas_tests)
