# The three shader texts as they stand: they compile and link on Mesa through
# the headless backend, and glslangValidator accepts them as GLSL 1.10.
add_executable(shader_compile_tests ${CMAKE_CURRENT_LIST_DIR}/ShaderCompileTest.cpp)
target_compile_definitions(shader_compile_tests PRIVATE
  SHADER_TEXT_DIRECTORY="${CMAKE_SOURCE_DIR}/shaders")
# The shell, the set-up and the backend call each other (handle globals,
# InitGraphics, the platform calls): one group, searched until all resolve.
target_link_libraries(shader_compile_tests PRIVATE
  "$<LINK_GROUP:RESCAN,vemlodar_shell,vemlodar_graphics,vemlodar_platform_headless>"
  GTest::gtest_main)
gtest_discover_tests(shader_compile_tests)

# Without a version line the validator reads desktop GLSL 1.10 when given -d
# (its own default would be OpenGL ES 1.00); 1.10 knows no float suffix, so a
# text that uses one is refused here.
find_program(GLSLANG_VALIDATOR glslangValidator)
if(GLSLANG_VALIDATOR)
  foreach(text vMainObject:vert fMainBackground:frag fOffscreeCopy:frag)
    string(REPLACE ":" ";" text ${text})
    list(GET text 0 name)
    list(GET text 1 stage)
    add_test(NAME ShaderText.${name}.IsValidGlsl110
             COMMAND ${GLSLANG_VALIDATOR} -d -S ${stage} ${CMAKE_SOURCE_DIR}/shaders/${name}.glsl)
  endforeach()
else()
  message(WARNING "glslangValidator not found (package glslang-tools): shader texts not validated")
endif()
