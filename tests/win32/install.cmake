# The installed package: cmake --install of this build, then the tour, the
# README's own-program commands and the to-do list out of tree against it,
# and the starter's and the to-do list's UI tests run. The x86-64 tree's test
# also installs the i686 tree beside it (KW_I686_BUILD_DIR, the win32
# preset's folder by default) and builds a program of each architecture from
# the one package.
# A CMake script, so CTest runs it without the Wine wrapper; the UI test
# makes its own Wine environment.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  find_program(KW_OBJDUMP_X86_64 NAMES x86_64-w64-mingw32-objdump REQUIRED)
  set(kw_objdump ${KW_OBJDUMP_X86_64})  # reads PE32 images too
  set(KW_I686_BUILD_DIR ${CMAKE_BINARY_DIR}/../win32 CACHE PATH "The i686 build tree installed beside this one by the install test")
  set(kw_other -DOTHER_BUILD_DIR=${KW_I686_BUILD_DIR})
else()
  find_program(KW_OBJDUMP NAMES i686-w64-mingw32-objdump REQUIRED)
  set(kw_objdump ${KW_OBJDUMP})
  set(kw_other)
endif()
add_test(NAME win32_install COMMAND ${CMAKE_COMMAND}
  -DARCH=${KW_ARCH} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DDRIVE=$<TARGET_FILE:drive>
  -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/install-test -DOBJDUMP=${kw_objdump} ${kw_other}
  -P ${PROJECT_SOURCE_DIR}/tests/install/install_test.cmake)
set_tests_properties(win32_install PROPERTIES TIMEOUT 900)
