# The real program on a virtual display, driven by X clients. Screenshots are
# judged by screen_colours (tests/windows/Windows.cmake).
find_package(X11 REQUIRED)
add_executable(closeWindow ${CMAKE_CURRENT_LIST_DIR}/close-window.c)
target_link_libraries(closeWindow PRIVATE X11::X11)

add_test(NAME PresentationEndsOnEscapeAndOnClose
  COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/end-to-end.sh $<TARGET_FILE:vemlodar> $<TARGET_FILE:closeWindow>
    $<TARGET_FILE:writeTestModule> $<TARGET_FILE:screen_colours>)
set_tests_properties(PresentationEndsOnEscapeAndOnClose PROPERTIES TIMEOUT 300 LABELS endToEnd)
