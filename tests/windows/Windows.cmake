# The Windows build, checked from here: tests/windows/run-under-wine.sh
# cross-builds vemlodar.exe with the MinGW-w64 toolchain files in cmake/ and
# runs it under Wine on a virtual screen. Its work (the cross builds, Wine
# prefixes, screenshots, logs) goes under windows/ in this build tree.

# What the frame body shows, which decides how the screenshots are judged:
# "swap-only" while it presents the untouched back buffer, "drawn" once it
# draws the presentation. The test fails on either mismatch.
set(windowsPictureCheck drawn)

add_executable(screen_colours ${CMAKE_CURRENT_LIST_DIR}/ScreenColours.cpp)

set(windowsTestScript ${CMAKE_CURRENT_LIST_DIR}/run-under-wine.sh)
set(windowsTestWork ${CMAKE_BINARY_DIR}/windows)

foreach(windowsTestMode exe-i686 wine-i686 wine-x86_64)
  string(REPLACE "-" "_" windowsTestName "windows_${windowsTestMode}")
  add_test(NAME ${windowsTestName}
    COMMAND sh ${windowsTestScript} ${windowsTestMode} ${CMAKE_SOURCE_DIR} ${windowsTestWork}
            $<TARGET_FILE:screen_colours> ${windowsPictureCheck} $<TARGET_FILE:writeTestModule>)
  set_tests_properties(${windowsTestName} PROPERTIES LABELS windows)
endforeach()

# The 32-bit run needs the exe the first test builds. Where the kernel runs no
# 32-bit programs it says so and exits 77, which CTest reports as skipped.
# The first build of each also compiles libopenmpt: minutes on two cores.
set_tests_properties(windows_exe_i686 PROPERTIES FIXTURES_SETUP windows_exe TIMEOUT 1200)
set_tests_properties(windows_wine_i686 PROPERTIES
  FIXTURES_REQUIRED windows_exe SKIP_RETURN_CODE 77 TIMEOUT 900)
set_tests_properties(windows_wine_x86_64 PROPERTIES TIMEOUT 1800)
