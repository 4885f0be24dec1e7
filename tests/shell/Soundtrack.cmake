# The soundtrack calls, heard through SDL's disk audio driver.
add_library(testModuleWriter STATIC ${CMAKE_CURRENT_LIST_DIR}/ModuleWriter.cpp)
add_executable(writeTestModule ${CMAKE_CURRENT_LIST_DIR}/write-test-module.cpp)
target_link_libraries(writeTestModule PRIVATE testModuleWriter)

add_executable(soundtrackTests ${CMAKE_CURRENT_LIST_DIR}/SoundtrackTest.cpp)
target_link_libraries(soundtrackTests PRIVATE vemlodar_music_openmpt testModuleWriter GTest::gtest_main)
gtest_discover_tests(soundtrackTests PROPERTIES LABELS soundtrack)
