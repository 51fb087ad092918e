# The installed package: cmake --install of this build, then the tour, the
# README's own-program commands and the to-do list out of tree against it,
# and the starter's and the to-do list's UI tests run.
# A CMake script, so CTest runs it without the Wine wrapper; the UI test
# makes its own Wine environment. The package holds the i686 build.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
  return()
endif()
find_program(KW_OBJDUMP NAMES i686-w64-mingw32-objdump REQUIRED)
add_test(NAME win32_install COMMAND ${CMAKE_COMMAND}
  -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DDRIVE=$<TARGET_FILE:drive>
  -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/install-test -DOBJDUMP=${KW_OBJDUMP}
  -P ${PROJECT_SOURCE_DIR}/tests/install/install_test.cmake)
set_tests_properties(win32_install PROPERTIES TIMEOUT 900)
