# Build rules shared by the whole tree.

set(KW_WARNINGS -Wall -Wextra)

# The libraries link into tiny programs without the C or C++ runtime: no
# exceptions, no RTTI, no unwind tables (they would keep every function alive
# through --gc-sections), no thread-safe statics, and no library calls made up
# by the optimiser.
set(KW_LIBRARY_OPTIONS
  -fno-exceptions -fno-rtti -fno-threadsafe-statics
  -fno-asynchronous-unwind-tables -fno-unwind-tables
  -ffunction-sections -fdata-sections
  -fno-tree-loop-distribute-patterns -fno-stack-protector)

function(kw_library target)
  target_compile_options(${target} PRIVATE ${KW_WARNINGS} ${KW_LIBRARY_OPTIONS})
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:include/kestrowane>)
endfunction()

# A program as it ships: our own process entry, no C runtime, imports from the
# four system DLLs only, a PE32 GUI image that is not large-address-aware
# (bit 31 of a string handle is the borrowed mark).
function(kw_program target)
  target_compile_options(${target} PRIVATE ${KW_WARNINGS} ${KW_LIBRARY_OPTIONS})
  target_link_libraries(${target} PRIVATE kestrowane_start)
  target_link_options(${target} PRIVATE
    -nostdlib -nostartfiles -mwindows
    -Wl,-e,_kw_process_entry -Wl,--gc-sections -Wl,--disable-large-address-aware -s)
  target_link_libraries(${target} PRIVATE kernel32 user32 advapi32 oleaut32 gcc)
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
