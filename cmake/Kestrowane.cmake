# Build rules shared by the whole tree.

set(KW_WARNINGS -Wall -Wextra)

# The libraries link into tiny programs without the C or C++ runtime: no
# exceptions, no RTTI, no unwind tables (they would keep every function alive
# through --gc-sections), no thread-safe statics, and no library calls made up
# by the optimiser.
# -fomit-frame-pointer: MinGW's i686 compiler keeps a frame pointer at -Os,
# and its set-up and tear-down in every small string operation cost the string
# road about a tenth of its time (measured with scripts/bench). Leaving it out
# does not change the greeting's size.
set(KW_LIBRARY_OPTIONS
  -fno-exceptions -fno-rtti -fno-threadsafe-statics
  -fno-asynchronous-unwind-tables -fno-unwind-tables
  -ffunction-sections -fdata-sections
  -fno-tree-loop-distribute-patterns -fno-stack-protector
  -fomit-frame-pointer)

# Shipped programs are optimised across the libraries at link time (the
# greeting shrinks from 10,240 to 7,680 bytes). Fat objects keep ordinary code
# beside the intermediate form, so test programs link them without it.
if(WIN32)
  list(APPEND KW_LIBRARY_OPTIONS -flto -ffat-lto-objects)
endif()

function(kw_library target)
  target_compile_options(${target} PRIVATE ${KW_WARNINGS} ${KW_LIBRARY_OPTIONS})
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:include/kestrowane>)
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/KestrowaneProgram.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/KestrowaneUiTest.cmake)

# A program as it ships (see KestrowaneProgram.cmake).
function(kw_program target)
  target_compile_options(${target} PRIVATE ${KW_WARNINGS} ${KW_LIBRARY_OPTIONS})
  kestrowane_link_program(${target} kestrowane_start)
endfunction()

# A test program: the same libraries with the C runtime and GoogleTest.
function(kw_test target)
  target_compile_options(${target} PRIVATE ${KW_WARNINGS})
  target_link_libraries(${target} PRIVATE GTest::gtest_main GTest::gmock)
  if(WIN32)
    target_link_options(${target} PRIVATE -static)
  endif()
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES TIMEOUT 600)
endfunction()
