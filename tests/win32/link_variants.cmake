# Generated programs of growing size, in one object or several, release and
# checked, linked through the installed package for this tree's architecture.
# A CMake script: CTest runs it without the Wine wrapper.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  find_program(KW_OBJDUMP_X86_64 NAMES x86_64-w64-mingw32-objdump REQUIRED)
  set(kw_link_objdump ${KW_OBJDUMP_X86_64})
else()
  find_program(KW_OBJDUMP NAMES i686-w64-mingw32-objdump REQUIRED)
  set(kw_link_objdump ${KW_OBJDUMP})
endif()
add_test(NAME win32_link_variants COMMAND ${CMAKE_COMMAND}
  -DARCH=${KW_ARCH} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/link-variants
  -DOBJDUMP=${kw_link_objdump} -P ${PROJECT_SOURCE_DIR}/tests/install/link_variants_test.cmake)
set_tests_properties(win32_link_variants PROPERTIES TIMEOUT 600)
