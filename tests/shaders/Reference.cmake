# The CPU reference of the shader programs and the checks of its own pieces.
find_package(Threads REQUIRED)
add_library(shader_reference STATIC ${CMAKE_CURRENT_LIST_DIR}/Reference.cpp)
target_link_libraries(shader_reference PUBLIC Threads::Threads)

# The passes as a frame draws them, shared by the pixel tests and the benchmark.
add_library(shader_passes STATIC ${CMAKE_CURRENT_LIST_DIR}/ShaderPasses.cpp)
target_link_libraries(shader_passes PUBLIC vemlodar_graphics)

add_executable(shader_reference_tests ${CMAKE_CURRENT_LIST_DIR}/ReferenceEdgeCasesTest.cpp)
target_link_libraries(shader_reference_tests PRIVATE shader_reference GTest::gtest_main)
gtest_discover_tests(shader_reference_tests)
