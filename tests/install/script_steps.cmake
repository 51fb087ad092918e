# Shared by the CMake-script tests of the package: the settings a script
# needs, and one step run for 10 minutes at most, whose failure or timeout
# names the script and the step.

# kw_script_needs(SCRIPT VARIABLE ...): stops unless each -D setting is given.
macro(kw_script_needs script)
  set(KW_SCRIPT ${script})
  foreach(v ${ARGN})
    if(NOT DEFINED ${v})
      message(FATAL_ERROR "${KW_SCRIPT}: ${v} is not set")
    endif()
  endforeach()
endmacro()

# run(WHAT COMMAND ...): the command's output in run_output.
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out TIMEOUT 600)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${KW_SCRIPT}: ${what} failed (${status}):\n${out}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()
