# kestrowane_add_ui_test(NAME name PROGRAM target SCRIPT file)
#
# Registers a CTest test that plays the program target as a user would: drive
# starts it, runs the lines of SCRIPT (a file of drive commands, relative to
# the current source folder), and the test passes when every line succeeds
# and the program exits with 0. Cross-built, the test runs under Wine in a
# prefix and on a virtual display of its own, kept in the build folder
# <name>/, where a failure also leaves drive.log and failure.png. The prefix
# is a copy of the build tree's wineprefix/ (the one wine-run uses), made by
# the first test that needs it; each copy takes about 2 MB. A 64-bit
# program runs under 64-bit Wine and is played by the 64-bit drive. Without
# Wine or Xvfb the test fails and names the Debian packages to install; a
# 32-bit program where the kernel refuses 32-bit programs is skipped, and
# says why in its output: ctest shows that for a skip only with -V (or in
# its --output-junit report); scripts/test prints it.
#
# In the Kestrowane tree it uses the tree's drive and shell/kestrowane-ui-test;
# from the installed package, the drive of the build's architecture (bin/ or
# bin64/) and share/kestrowane/kestrowane-ui-test.
function(kestrowane_add_ui_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;PROGRAM;SCRIPT" "")
  foreach(required NAME PROGRAM SCRIPT)
    if(NOT arg_${required})
      message(FATAL_ERROR "kestrowane_add_ui_test: ${required} is missing")
    endif()
  endforeach()
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "kestrowane_add_ui_test: unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  get_filename_component(script ${arg_SCRIPT} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  if(NOT EXISTS ${script})
    message(FATAL_ERROR "kestrowane_add_ui_test: no script ${script}")
  endif()

  if(EXISTS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../shell/kestrowane-ui-test)
    get_filename_component(runner ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../shell/kestrowane-ui-test ABSOLUTE)
    set(drive $<TARGET_FILE:drive>)
  else()
    get_filename_component(prefix ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../../.. ABSOLUTE)
    set(runner ${prefix}/share/kestrowane/kestrowane-ui-test)
    set(drive ${KESTROWANE_DRIVE})  # the build's architecture's, from the package config
  endif()

  if(CMAKE_HOST_WIN32)
    add_test(NAME ${arg_NAME} COMMAND ${drive} script ${script} $<TARGET_FILE:${arg_PROGRAM}>)
  else()
    add_test(NAME ${arg_NAME}
      COMMAND ${runner} ${drive} $<TARGET_FILE:${arg_PROGRAM}> ${script} ${CMAKE_CURRENT_BINARY_DIR}/${arg_NAME}
        ${CMAKE_BINARY_DIR}/wineprefix)
  endif()
  # A first run makes the build tree's Wine prefix. A machine that cannot run a
  # 32-bit program skips the test of one and says why.
  set_tests_properties(${arg_NAME} PROPERTIES TIMEOUT 900 SKIP_RETURN_CODE 77)
endfunction()
