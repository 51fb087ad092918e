# Installs a build tree of one architecture (ARCH: i686 or x86_64) into a
# fresh prefix, then builds the tour out of tree against the installed
# package with find_package(Kestrowane), as an application would, and checks
# what it made; then runs the README's "Your own program" commands for that
# architecture with the package's own toolchain file; then builds the to-do
# list the same way and runs its UI test (kestrowane_add_ui_test) with ctest.
# A build for the other architecture fails, naming the toolchain file to pass.
# With OTHER_BUILD_DIR (the other architecture's build tree), that tree is
# installed into the same prefix last, and a program of each architecture
# builds from the one package.
#
#   cmake -DARCH=<i686|x86_64> -DBUILD_DIR=<build tree> -DSOURCE_DIR=<source tree> -DWORK_DIR=<scratch folder>
#         -DOBJDUMP=<objdump> -DDRIVE=<drive.exe> [-DOTHER_BUILD_DIR=<build tree>] -P install_test.cmake
include(${CMAKE_CURRENT_LIST_DIR}/script_steps.cmake)
kw_script_needs(install_test ARCH BUILD_DIR SOURCE_DIR WORK_DIR OBJDUMP DRIVE)

# What differs between the architectures: the folders, the image format,
# the Wine, the README's block, the other architecture.
if(ARCH STREQUAL "x86_64")
  set(lib lib64)
  set(bin bin64)
  set(format pei-x86-64)
  set(marker your-own-program-64)
  set(other i686)
else()
  set(lib lib)
  set(bin bin)
  set(format pei-i386)
  set(marker your-own-program)
  set(other x86_64)
endif()

set(prefix ${WORK_DIR}/prefix)
set(tour_build ${WORK_DIR}/tour)
set(todo_build ${WORK_DIR}/todo)
file(REMOVE_RECURSE ${WORK_DIR})

run("cmake --install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# The package: the static libraries in both variants, the headers, the
# package files, the toolchain and the Wine runner, the starter.
set(TOOLCHAIN ${prefix}/share/kestrowane/mingw-${ARCH}.cmake)
foreach(f ${lib}/libkestrowane_runtime.a ${lib}/libkestrowane_start.a ${lib}/libkestrowane_toolkit_core.a
          ${lib}/libkestrowane_toolkit.a ${lib}/libkestrowane_runtime_checked.a ${lib}/libkestrowane_start_checked.a
          ${lib}/libkestrowane_toolkit_checked.a include/kestrowane/runtime/strings.h include/kestrowane/runtime/startup.h
          include/kestrowane/runtime/checked.h include/kestrowane/toolkit/toolkit.h
          include/kestrowane/toolkit/control_kinds.h lib/cmake/Kestrowane/KestrowaneConfig.cmake
          lib/cmake/Kestrowane/KestrowaneTargets-${ARCH}.cmake lib/cmake/Kestrowane/KestrowaneArch-${ARCH}.cmake
          share/kestrowane/mingw-i686.cmake share/kestrowane/mingw-x86_64.cmake share/kestrowane/wine-run
          share/kestrowane/kestrowane-wine.sh share/kestrowane/debian-packages share/kestrowane/starter/starter.cpp
          share/kestrowane/starter/CMakeLists.txt
          lib/cmake/Kestrowane/KestrowaneUiTest.cmake ${bin}/drive.exe ${bin}/drive_hook.dll ${bin}/inspect.exe
          share/kestrowane/kestrowane-ui-test share/kestrowane/starter/starter.script)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "install_test: the package lacks ${f}")
  endif()
endforeach()
if(EXISTS ${prefix}/include/kestrowane/runtime/string_alloc.h)
  message(FATAL_ERROR "install_test: the allocator's test seam string_alloc.h was installed")
endif()
if(EXISTS ${prefix}/include/kestrowane/toolkit/toolkit_private.h)
  message(FATAL_ERROR "install_test: the toolkit's internal toolkit_private.h was installed")
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

# A package of one architecture refuses a build for the other, naming the
# toolchain file of the one it holds.
set(mismatch ${WORK_DIR}/mismatch)
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/todo -B ${mismatch}
  -DCMAKE_TOOLCHAIN_FILE=${prefix}/share/kestrowane/mingw-${other}.cmake -DCMAKE_PREFIX_PATH=${prefix}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out TIMEOUT 300)
if(status EQUAL 0 OR NOT out MATCHES "holds the libraries for ${ARCH} Windows"
   OR NOT out MATCHES "CMAKE_TOOLCHAIN_FILE=${prefix}/share/kestrowane/mingw-${ARCH}.cmake")
  message(FATAL_ERROR "install_test: expected a ${other} build to fail naming mingw-${ARCH}.cmake, got (${status}):\n${out}")
endif()

# With the other architecture's tree installed beside this one, the one
# package builds a program of each, each from its own libraries.
function(check_other_architecture)
  if(NOT DEFINED OTHER_BUILD_DIR)
    return()
  endif()
  if(NOT EXISTS ${OTHER_BUILD_DIR}/cmake_install.cmake)
    message(FATAL_ERROR "install_test: the ${other} build tree ${OTHER_BUILD_DIR} is not built: build it first "
      "(scripts/test builds the win32 preset before the win64 one)")
  endif()
  run("cmake --install of the ${other} tree" ${CMAKE_COMMAND} --install ${OTHER_BUILD_DIR} --prefix ${prefix})
  foreach(arch ${ARCH} ${other})
    set(dir ${WORK_DIR}/both-${arch})
    run("configuring the to-do list for ${arch}" ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/todo -B ${dir}
        -DCMAKE_TOOLCHAIN_FILE=${prefix}/share/kestrowane/mingw-${arch}.cmake -DCMAKE_BUILD_TYPE=MinSizeRel
        -DCMAKE_PREFIX_PATH=${prefix})
    run("building the to-do list for ${arch}" ${CMAKE_COMMAND} --build ${dir} --target todo)
    if(arch STREQUAL "x86_64")
      check_shipped_image(${dir}/todo.exe pei-x86-64)
    else()
      check_shipped_image(${dir}/todo.exe pei-i386)
    endif()
  endforeach()
  message(STATUS "install_test: one package with both architectures built the to-do list for each")
endfunction()

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

# Linked as a shipped program: a GUI image of the architecture importing the
# four system DLLs only; on i686 not large-address-aware, on x86-64 with
# high-entropy ASLR.
function(check_shipped_image exe format)
  run("objdump" ${OBJDUMP} -p ${exe})
  string(REGEX MATCHALL "DLL Name: [^\n]+" dlls "${run_output}")
  string(TOUPPER "${dlls}" dlls)
  list(SORT dlls)
  set(expected "DLL NAME: ADVAPI32.DLL;DLL NAME: KERNEL32.DLL;DLL NAME: OLEAUT32.DLL;DLL NAME: USER32.DLL")
  if(NOT dlls STREQUAL expected)
    message(FATAL_ERROR "install_test: ${exe}: expected the imports ${expected}, got ${dlls}")
  endif()
  if(NOT run_output MATCHES "file format ${format}")
    message(FATAL_ERROR "install_test: ${exe} is not a ${format} image")
  endif()
  if(NOT run_output MATCHES "Subsystem[ \t]+0*2[ \t]")
    message(FATAL_ERROR "install_test: ${exe} is not a GUI program")
  endif()
  if(format STREQUAL "pei-i386" AND run_output MATCHES "large address aware")
    message(FATAL_ERROR "install_test: ${exe} is large-address-aware")
  endif()
  if(format STREQUAL "pei-x86-64" AND NOT run_output MATCHES "HIGH_ENTROPY_VA")
    message(FATAL_ERROR "install_test: ${exe} lacks high-entropy ASLR")
  endif()
  message(STATUS "install_test: ${exe} is ${format} and imports ${dlls}")
endfunction()
check_shipped_image(${exe} ${format})

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
#include "runtime/startup.h"
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
expect_build_failure(uses_vector "#include <vector>\n#include \"runtime/startup.h\"\nnamespace { int g; }\nKW_GLOBAL_AREA(g);\n
std::vector<int> v;\nstd::int32_t main_procedure(void*, void*, const char*, std::int32_t) { v.push_back(1); return v[0]; }\n"
  "a Kestrowane program has no heap: no new, std::vector")
expect_build_failure(lacks_global_area "#include \"runtime/startup.h\"\n${kw_main}"
  "undefined reference to `the_program_names_its_globals_with_KW_GLOBAL_AREA'")
message(STATUS "install_test: a container that allocates and a missing KW_GLOBAL_AREA stop the build with their fix")

run("the README's commands for your own program" ${SOURCE_DIR}/tests/install/your_own_program.sh
    ${SOURCE_DIR}/README.md ${marker} ${prefix} ${WORK_DIR}/your-own-program ${DRIVE})
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
string(FIND "${tests}" "\"${prefix}/share/kestrowane/kestrowane-ui-test\" \"${prefix}/${bin}/drive.exe\"" at)
if(at LESS 0)
  message(FATAL_ERROR "install_test: the UI test does not run the package's drive:\n${tests}")
endif()
# The UI test needs Wine; where the kernel refuses 32-bit programs the test
# of a 32-bit program says so and stops here (the UI test itself fails when
# Wine is broken).
if(ARCH STREQUAL "x86_64")
  set(wine_arch win64)
else()
  set(wine_arch win32)
endif()
execute_process(COMMAND bash -c "source '${SOURCE_DIR}/shell/kestrowane-wine.sh'; kw_wine_check ${wine_arch}; [ $? -eq 77 ] && echo \"$KW_WINE_WHY\""
  OUTPUT_VARIABLE why_not OUTPUT_STRIP_TRAILING_WHITESPACE)
if(why_not)
  message(STATUS "install_test: the to-do list's UI test not run: ${why_not}")
  check_other_architecture()
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
execute_process(COMMAND ${prefix}/share/kestrowane/kestrowane-ui-test ${prefix}/${bin}/drive.exe ${todo_build}/todo.exe
    ${WORK_DIR}/todo-other-name.script ${WORK_DIR}/todo-other-name ${BUILD_DIR}/wineprefix
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out TIMEOUT 300)
if(status EQUAL 0 OR NOT out MATCHES "character 5 is \"李\" \\(U\\+674E\\) where the script has \"王\" \\(U\\+738B\\)")
  message(FATAL_ERROR "install_test: expected the script with another CJK name to fail naming it, got (${status}):\n${out}")
endif()
message(STATUS "install_test: the to-do list's script with another CJK name failed, naming the character")
check_other_architecture()
