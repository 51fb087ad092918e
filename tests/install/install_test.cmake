# Installs a build tree into a fresh prefix, then builds the tour out of tree
# against the installed package with find_package(Kestrowane), as an
# application would, and checks what it made; then runs the README's "Your
# own program" commands with the package's own toolchain file; then builds
# the to-do list the same way and runs its UI test (kestrowane_add_ui_test)
# with ctest.
#
#   cmake -DBUILD_DIR=<build tree> -DSOURCE_DIR=<source tree> -DWORK_DIR=<scratch folder>
#         -DOBJDUMP=<objdump> -DDRIVE=<drive.exe> -P install_test.cmake
foreach(v BUILD_DIR SOURCE_DIR WORK_DIR OBJDUMP DRIVE)
  if(NOT DEFINED ${v})
    message(FATAL_ERROR "install_test: ${v} is not set")
  endif()
endforeach()

# Runs one step, for 10 minutes at most; a failure or a timeout names the step.
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out TIMEOUT 600)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "install_test: ${what} failed (${status}):\n${out}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

set(prefix ${WORK_DIR}/prefix)
set(tour_build ${WORK_DIR}/tour)
set(todo_build ${WORK_DIR}/todo)
file(REMOVE_RECURSE ${WORK_DIR})

run("cmake --install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# The package: the static libraries in both variants, the headers, the
# package files, the toolchain and the Wine runner, the starter.
set(TOOLCHAIN ${prefix}/share/kestrowane/mingw-i686.cmake)
foreach(f lib/libkestrowane_runtime.a lib/libkestrowane_start.a lib/libkestrowane_toolkit_core.a
          lib/libkestrowane_toolkit.a lib/libkestrowane_runtime_checked.a lib/libkestrowane_start_checked.a
          lib/libkestrowane_toolkit_checked.a include/kestrowane/runtime/strings.h include/kestrowane/runtime/state.h
          include/kestrowane/runtime/checked.h include/kestrowane/toolkit/toolkit.h
          include/kestrowane/toolkit/control_kinds.h lib/cmake/Kestrowane/KestrowaneConfig.cmake
          lib/cmake/Kestrowane/KestrowaneTargets.cmake share/kestrowane/mingw-i686.cmake share/kestrowane/wine-run
          share/kestrowane/kestrowane-wine.sh share/kestrowane/starter/starter.cpp
          share/kestrowane/starter/CMakeLists.txt
          lib/cmake/Kestrowane/KestrowaneUiTest.cmake bin/drive.exe bin/drive_hook.dll bin/inspect.exe
          share/kestrowane/kestrowane-ui-test share/kestrowane/starter/starter.script)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "install_test: the package lacks ${f}")
  endif()
endforeach()
if(EXISTS ${prefix}/include/kestrowane/runtime/string_alloc.h)
  message(FATAL_ERROR "install_test: the allocator's test seam string_alloc.h was installed")
endif()
# Every installed header includes only headers that are installed too.
file(GLOB_RECURSE headers RELATIVE ${prefix}/include/kestrowane ${prefix}/include/kestrowane/*.h)
foreach(h ${headers})
  file(STRINGS ${prefix}/include/kestrowane/${h} includes REGEX "^#include \"")
  foreach(line ${includes})
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
    if(NOT EXISTS ${prefix}/include/kestrowane/${included})
      message(FATAL_ERROR "install_test: ${h} includes ${included}, which is not installed")
    endif()
  endforeach()
endforeach()

# An application outside the tree: the tour's own directory as its source.
run("configuring the tour against the package" ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/tour -B ${tour_build}
    -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN} -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_PREFIX_PATH=${prefix})
file(READ ${tour_build}/CMakeCache.txt cache)
string(REGEX MATCH "Kestrowane_DIR:PATH=[^\n]*" found "${cache}")
if(NOT found STREQUAL "Kestrowane_DIR:PATH=${prefix}/lib/cmake/Kestrowane")
  message(FATAL_ERROR "install_test: expected the package from ${prefix}, got ${found}")
endif()
run("building the tour" ${CMAKE_COMMAND} --build ${tour_build})
if(run_output MATCHES "warning:")
  message(FATAL_ERROR "install_test: the tour built with warnings:\n${run_output}")
endif()

set(exe ${tour_build}/tour.exe)
if(NOT EXISTS ${exe})
  message(FATAL_ERROR "install_test: no ${exe}")
endif()

# Linked as a shipped program: a PE32 GUI image importing the four system DLLs only.
run("objdump" ${OBJDUMP} -p ${exe})
string(REGEX MATCHALL "DLL Name: [^\n]+" dlls "${run_output}")
string(TOUPPER "${dlls}" dlls)
list(SORT dlls)
set(expected "DLL NAME: ADVAPI32.DLL;DLL NAME: KERNEL32.DLL;DLL NAME: OLEAUT32.DLL;DLL NAME: USER32.DLL")
if(NOT dlls STREQUAL expected)
  message(FATAL_ERROR "install_test: expected the imports ${expected}, got ${dlls}")
endif()
if(NOT run_output MATCHES "file format pei-i386")
  message(FATAL_ERROR "install_test: tour.exe is not a PE32 i386 image")
endif()
if(NOT run_output MATCHES "Subsystem[ \t]+0*2[ \t]")
  message(FATAL_ERROR "install_test: tour.exe is not a GUI program")
endif()
if(run_output MATCHES "large address aware")
  message(FATAL_ERROR "install_test: tour.exe is large-address-aware")
endif()
message(STATUS "install_test: tour.exe built against ${prefix} imports ${dlls}")

# An application's own test, through the installed headers alone: a checked
# program that reads the live-string count and makes an allocation fail.
set(app ${WORK_DIR}/checked-app)
file(WRITE ${app}/CMakeLists.txt "cmake_minimum_required(VERSION 3.20)
project(CheckedApp LANGUAGES CXX)
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_EXTENSIONS ON)
find_package(Kestrowane REQUIRED)
add_executable(checked_app WIN32 app.cpp)
target_link_libraries(checked_app PRIVATE Kestrowane::toolkit)
kestrowane_program(checked_app CHECKED)
")
file(WRITE ${app}/app.cpp [=[
#include "runtime/checked.h"
#include "runtime/state.h"
#include "runtime/strings.h"
namespace { struct Globals { DynString name; } globals; }
KW_GLOBAL_AREA(globals);
std::int32_t main_procedure(void*, void*, const char*, std::int32_t) {
    ProcFrame f;
    std::int32_t live = live_string_count();
    fail_string_allocation_at(1);
    push_copy(f, "Ann", 3);
    string_assign(f, globals.name);
    return live_string_count() == live && string_allocation_count() == 1 && contract_violation_count() == 0 ? 0 : 1;
}
]=])
run("configuring a checked application" ${CMAKE_COMMAND} -S ${app} -B ${app}/build -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}
    -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_PREFIX_PATH=${prefix})
run("building a checked application" ${CMAKE_COMMAND} --build ${app}/build)
if(run_output MATCHES "warning:")
  message(FATAL_ERROR "install_test: the checked application built with warnings:\n${run_output}")
endif()

# What a program without the C runtime cannot use stops its build with a line
# that says what to do: a container that allocates, a missing KW_GLOBAL_AREA.
function(expect_build_failure name source pattern)
  set(dir ${WORK_DIR}/${name})
  file(WRITE ${dir}/CMakeLists.txt "cmake_minimum_required(VERSION 3.20)
project(${name} LANGUAGES CXX)
set(CMAKE_CXX_STANDARD 20)
find_package(Kestrowane REQUIRED)
add_executable(${name} WIN32 app.cpp)
target_link_libraries(${name} PRIVATE Kestrowane::toolkit)
kestrowane_program(${name})
")
  file(WRITE ${dir}/app.cpp "${source}")
  run("configuring ${name}" ${CMAKE_COMMAND} -S ${dir} -B ${dir}/build -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}
      -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_PREFIX_PATH=${prefix})
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${dir}/build RESULT_VARIABLE status OUTPUT_VARIABLE out
    ERROR_VARIABLE out TIMEOUT 300)
  if(status EQUAL 0 OR NOT out MATCHES "${pattern}")
    message(FATAL_ERROR "install_test: expected ${name} to fail to build with /${pattern}/, got (${status}):\n${out}")
  endif()
endfunction()
set(kw_main "std::int32_t main_procedure(void*, void*, const char*, std::int32_t) { return 0; }\n")
expect_build_failure(uses_vector "#include <vector>\n#include \"runtime/state.h\"\nnamespace { int g; }\nKW_GLOBAL_AREA(g);\n
std::vector<int> v;\nstd::int32_t main_procedure(void*, void*, const char*, std::int32_t) { v.push_back(1); return v[0]; }\n"
  "a Kestrowane program has no heap: no new, std::vector")
expect_build_failure(lacks_global_area "#include \"runtime/state.h\"\n${kw_main}"
  "undefined reference to `the_program_names_its_globals_with_KW_GLOBAL_AREA'")
message(STATUS "install_test: a container that allocates and a missing KW_GLOBAL_AREA stop the build with their fix")

run("the README's commands for your own program" ${SOURCE_DIR}/tests/install/your_own_program.sh
    ${SOURCE_DIR}/README.md ${prefix} ${WORK_DIR}/your-own-program ${DRIVE})
message(STATUS "${run_output}")

# The to-do list, an application with a UI test of its own: built against the
# package, its test played by the package's drive in a Wine prefix copied
# from the build tree's.
run("configuring the to-do list against the package" ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/todo -B ${todo_build}
    -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN} -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_PREFIX_PATH=${prefix})
run("building the to-do list" ${CMAKE_COMMAND} --build ${todo_build})
if(run_output MATCHES "warning:")
  message(FATAL_ERROR "install_test: the to-do list built with warnings:\n${run_output}")
endif()
file(READ ${todo_build}/CTestTestfile.cmake tests)
string(FIND "${tests}" "\"${prefix}/share/kestrowane/kestrowane-ui-test\" \"${prefix}/bin/drive.exe\"" at)
if(at LESS 0)
  message(FATAL_ERROR "install_test: the UI test does not run the package's drive:\n${tests}")
endif()
# The UI test needs Wine; where the kernel refuses 32-bit programs the test
# says so and stops here (the UI test itself fails when Wine is broken).
execute_process(COMMAND bash -c "source '${SOURCE_DIR}/cmake/kestrowane-wine.sh'; kw_wine_check; [ $? -eq 77 ] && echo \"$KW_WINE_WHY\""
  OUTPUT_VARIABLE why_not OUTPUT_STRIP_TRAILING_WHITESPACE)
if(why_not)
  message(STATUS "install_test: the to-do list's UI test not run: ${why_not}")
  return()
endif()
get_filename_component(cmake_bin ${CMAKE_COMMAND} DIRECTORY)
run("the to-do list's UI test" ${CMAKE_COMMAND} -E env KESTROWANE_WINEPREFIX_TEMPLATE=${BUILD_DIR}/wineprefix
    ${cmake_bin}/ctest --test-dir ${todo_build} --output-on-failure)
if(NOT run_output MATCHES "100% tests passed, 0 tests failed out of 1")
  message(FATAL_ERROR "install_test: expected the to-do list's one UI test to pass:\n${run_output}")
endif()
message(STATUS "install_test: the to-do list's UI test passed with the package's drive")

# The same script expecting another CJK name than the one typed must fail,
# naming the first character that differs.
file(READ ${SOURCE_DIR}/examples/todo/todo.script script)
string(REPLACE "expect \"To do*\" 106 text \"Zoë 李雷" "expect \"To do*\" 106 text \"Zoë 王五" script "${script}")
file(WRITE ${WORK_DIR}/todo-other-name.script "${script}")
execute_process(COMMAND ${prefix}/share/kestrowane/kestrowane-ui-test ${prefix}/bin/drive.exe ${todo_build}/todo.exe
    ${WORK_DIR}/todo-other-name.script ${WORK_DIR}/todo-other-name
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out TIMEOUT 300)
if(status EQUAL 0 OR NOT out MATCHES "character 5 is \"李\" \\(U\\+674E\\) where the script has \"王\" \\(U\\+738B\\)")
  message(FATAL_ERROR "install_test: expected the script with another CJK name to fail naming it, got (${status}):\n${out}")
endif()
message(STATUS "install_test: the to-do list's script with another CJK name failed, naming the character")
