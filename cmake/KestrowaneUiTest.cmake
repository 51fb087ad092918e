# kestrowane_add_ui_test(NAME name PROGRAM target SCRIPT file)
#
# Registers a CTest test that plays the program target as a user would: drive
# starts it, runs the lines of SCRIPT (a file of drive commands, relative to
# the current source folder), and the test passes when every line succeeds
# and the program exits with 0. Cross-built, the test runs under Wine in a
# prefix and on a virtual display of its own, kept in the build folder
# <name>/, where a failure also leaves drive.log and failure.png. Without Wine
# or Xvfb the test fails and names the Debian packages to install; where Wine
# is installed but cannot run (no 32-bit processes), it is skipped.
#
# In the Kestrowane tree it uses the tree's drive and cmake/ files; from the
# installed package, the package's bin/ and share/kestrowane/.
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

  if(EXISTS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/kestrowane-ui-test)
    set(runner ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/kestrowane-ui-test)
    set(drive $<TARGET_FILE:drive>)
  else()
    get_filename_component(prefix ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../../.. ABSOLUTE)
    set(runner ${prefix}/share/kestrowane/kestrowane-ui-test)
    set(drive ${prefix}/bin/drive.exe)
  endif()

  if(CMAKE_HOST_WIN32)
    add_test(NAME ${arg_NAME} COMMAND ${drive} script ${script} $<TARGET_FILE:${arg_PROGRAM}>)
  else()
    add_test(NAME ${arg_NAME}
      COMMAND ${runner} ${drive} $<TARGET_FILE:${arg_PROGRAM}> ${script} ${CMAKE_CURRENT_BINARY_DIR}/${arg_NAME})
  endif()
  # A first run makes the test's Wine prefix. A machine with Wine that cannot
  # run it (no 32-bit processes) skips the test and says why.
  set_tests_properties(${arg_NAME} PROPERTIES TIMEOUT 900 SKIP_RETURN_CODE 77)
endfunction()
