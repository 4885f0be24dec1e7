# The frame body: the scroller's vertex stream recorded without a driver, and
# whole frames on the headless backend against the CPU reference.
add_library(gl_call_recorder STATIC ${CMAKE_CURRENT_LIST_DIR}/GlCallRecorder.cpp)
target_link_libraries(gl_call_recorder PUBLIC ${CMAKE_DL_LIBS})

add_executable(scroller_tests ${CMAKE_CURRENT_LIST_DIR}/ScrollerTest.cpp)
# The recorder first, so that its definitions of the GL calls are the ones
# the presentation's code is linked against.
target_link_libraries(scroller_tests PRIVATE
  gl_call_recorder vemlodar_graphics vemlodar_platform_headless vemlodar_shell GTest::gtest_main)
gtest_discover_tests(scroller_tests)

# Pixel tests of whole frames; each frame takes about a second on llvmpipe
# and its reference a few more.
# (shader_reference comes from tests/shaders/Reference.cmake.)
add_executable(composition_tests ${CMAKE_CURRENT_LIST_DIR}/CompositionTest.cpp)
target_link_libraries(composition_tests PRIVATE
  gl_call_recorder shader_reference vemlodar_graphics vemlodar_platform_headless vemlodar_shell
  GTest::gtest_main)
gtest_discover_tests(composition_tests PROPERTIES TIMEOUT 600)
