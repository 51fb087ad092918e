# Build rules shared by the whole tree.

# The package holds each architecture's libraries and tools side by side:
# i686 in lib/ and bin/, x86-64 in lib64/ and bin64/. Headers, package
# files, toolchain files and scripts are the same for both.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KW_ARCH x86_64)
  set(KW_LIB_DIR lib64)
  set(KW_BIN_DIR bin64)
else()
  set(KW_ARCH i686)
  set(KW_LIB_DIR lib)
  set(KW_BIN_DIR bin)
endif()

set(KW_WARNINGS -Wall -Wextra)
# In a 64-bit build a pointer squeezed through a 32-bit integer loses its
# upper half: every such cast stops the build (C++ refuses a narrowing
# pointer-to-integer cast by itself; C only warns of it).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  list(APPEND KW_WARNINGS -Werror=int-to-pointer-cast $<$<COMPILE_LANGUAGE:C>:-Werror=pointer-to-int-cast>)
endif()

# The libraries link into tiny programs without the C or C++ runtime: no
# exceptions, no RTTI, no unwind tables (they would keep every function alive
# through --gc-sections), no thread-safe statics, and no library calls made up
# by the optimiser.
# -fomit-frame-pointer: MinGW's i686 compiler keeps a frame pointer at -Os,
# which every small string operation would set up and tear down.
set(KW_LIBRARY_OPTIONS
  -fno-exceptions -fno-rtti -fno-threadsafe-statics
  -fno-asynchronous-unwind-tables -fno-unwind-tables
  -ffunction-sections -fdata-sections
  -fno-tree-loop-distribute-patterns -fno-stack-protector
  -fomit-frame-pointer)

# Shipped programs are optimised across the libraries at link time: only
# what a program reaches is kept, and the small library routines are inlined
# into it. Fat objects keep ordinary code beside the intermediate form, so
# test programs link them without it.
# -malign-data=abi: GCC aligns arrays of 32 bytes or more to 32 bytes for
# vector loads the libraries never make; the ABI's own alignment keeps the
# constant tables packed, without padding between them in the code page.
if(WIN32)
  list(APPEND KW_LIBRARY_OPTIONS -flto -ffat-lto-objects -malign-data=abi)
endif()

function(kw_library target)
  target_compile_options(${target} PRIVATE ${KW_WARNINGS} ${KW_LIBRARY_OPTIONS})
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:include/kestrowane>)
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/KestrowaneProgram.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/KestrowaneUiTest.cmake)

# Checked variants of the libraries: the same code compiled with KW_CHECKED,
# so that misuse of the string argument stack is reported, strings are
# counted and an allocation can be made to fail. The test programs need them.
option(KW_BUILD_CHECKED "Also build (and install) the checked variants of the libraries" ON)

# kw_variant_library(NAME SOURCES ... [CHECKED_SOURCES ...] [LINK ...] [LINK_VARIANTS ...])
# builds NAME_release (archive NAME) and, with KW_BUILD_CHECKED, NAME_checked
# (archive NAME_checked), and makes NAME the target that links whichever the
# consuming target asks for (its KESTROWANE_CHECKED property). LINK_VARIANTS
# names other such libraries, linked in the same variant.
function(kw_variant_library name)
  cmake_parse_arguments(arg "" "EXPORT_NAME" "SOURCES;CHECKED_SOURCES;LINK;LINK_VARIANTS" ${ARGN})
  set(variants release)
  if(KW_BUILD_CHECKED)
    list(APPEND variants checked)
  endif()
  foreach(variant IN LISTS variants)
    set(t ${name}_${variant})
    add_library(${t} STATIC ${arg_SOURCES})
    kw_library(${t})
    target_link_libraries(${t} PUBLIC ${arg_LINK})
    foreach(dep IN LISTS arg_LINK_VARIANTS)
      target_link_libraries(${t} PUBLIC ${dep}_${variant})
    endforeach()
    if(variant STREQUAL checked)
      target_sources(${t} PRIVATE ${arg_CHECKED_SOURCES})
      target_compile_definitions(${t} PUBLIC KW_CHECKED=1)
      set_target_properties(${t} PROPERTIES OUTPUT_NAME ${name}_checked)
    else()
      set_target_properties(${t} PROPERTIES OUTPUT_NAME ${name})
    endif()
    set_target_properties(${t} PROPERTIES EXPORT_NAME ${arg_EXPORT_NAME}_${variant})
    install(TARGETS ${t} EXPORT KestrowaneTargets ARCHIVE DESTINATION ${KW_LIB_DIR})
  endforeach()
  kestrowane_variant_selector(${name} ${name}_release ${name}_checked)
endfunction()

# A program as it ships (see KestrowaneProgram.cmake); CHECKED links the
# checked libraries instead.
function(kw_program target)
  target_compile_options(${target} PRIVATE ${KW_WARNINGS} ${KW_LIBRARY_OPTIONS})
  kestrowane_link_program(${target} kestrowane_start kestrowane_runtime_checked ${ARGN})
endfunction()

# kw_test_programs(ROW ...): a tier's test programs as a table, one row each,
# "NAME | SOURCES | LIBRARIES" (the sources and libraries separated by
# blanks), each built and registered with kw_test.
function(kw_test_programs)
  foreach(row IN LISTS ARGN)
    string(REPLACE "|" ";" fields "${row}")
    list(LENGTH fields n)
    if(NOT n EQUAL 3)
      message(FATAL_ERROR "kw_test_programs: a row has three fields, NAME | SOURCES | LIBRARIES: ${row}")
    endif()
    list(GET fields 0 name)
    list(GET fields 1 sources)
    list(GET fields 2 libraries)
    string(STRIP "${name}" name)
    separate_arguments(sources UNIX_COMMAND "${sources}")
    separate_arguments(libraries UNIX_COMMAND "${libraries}")
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${libraries})
    kw_test(${name})
  endforeach()
endfunction()

# A test program: the same libraries with the C runtime and GoogleTest.
# Tests link the checked libraries: they count strings and fail allocations.
function(kw_test target)
  target_compile_options(${target} PRIVATE ${KW_WARNINGS})
  set_target_properties(${target} PROPERTIES KESTROWANE_CHECKED ON)
  target_link_libraries(${target} PRIVATE GTest::gtest_main GTest::gmock)
  if(WIN32)
    target_link_options(${target} PRIVATE -static)
  endif()
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77)
  if(WIN32)
    # Runs under Wine (CMAKE_CROSSCOMPILING_EMULATOR); scripts/test skips
    # these on a machine that cannot execute 32-bit x86 code.
    set_property(TEST ${target} APPEND PROPERTY LABELS wine)
  endif()
endfunction()
