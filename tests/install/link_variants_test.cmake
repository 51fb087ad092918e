# Links generated programs of growing size through the installed package, as
# an application does (find_package, kestrowane_program), and checks each
# image. A program large enough that link-time optimisation would split it
# into several partitions must link as surely as a small one: GCC 12's
# partitioned LTO for Windows targets fails on our libraries' code
# (docs/platform.md, "Link-time optimisation runs as one partition").
#
#   cmake -DARCH=<i686|x86_64> -DBUILD_DIR=<build tree> -DWORK_DIR=<scratch folder> -DOBJDUMP=<objdump>
#         [-DVARIANTS=<"name cases objects skip checked";...>] -P link_variants_test.cmake
include(${CMAKE_CURRENT_LIST_DIR}/script_steps.cmake)
kw_script_needs(link_variants_test ARCH BUILD_DIR WORK_DIR OBJDUMP)

# One case of a generated program: a control's callback doing 2 to 8 string
# and control operations, chosen by the case's number so that the cases
# differ in size and in what they call.
function(kw_generated_case out i)
  math(EXPR steps "2 + ${i} % 7")
  set(body "std::int32_t on_case_${i}(HWND dialog, UINT, WPARAM, LPARAM) {\n    ProcFrame f;\n")
  foreach(k RANGE 1 ${steps})
    math(EXPR op "(${i} * 7 + ${k} * 3) % 5")
    math(EXPR id "100 + (${i} + ${k}) % 50")
    math(EXPR a "(${i} + ${k}) % 8")
    math(EXPR b "(${i} * 3 + ${k}) % 8")
    math(EXPR m "${k} + 2")
    math(EXPR r "${k} % 2")
    if(op EQUAL 0)
      string(APPEND body "    read_control_text(f, dialog, ${id});\n    string_assign(f, globals.names[${a}]);\n")
    elseif(op EQUAL 1)
      set(text "case ${i} step ${k}")
      string(LENGTH "${text}" n)
      string(APPEND body "    push_copy(f, \"${text}\", ${n});\n    push_borrowed(f, globals.names[${b}]);\n"
        "    string_concat(f);\n    write_control_text(f, dialog, ${id});\n")
    elseif(op EQUAL 2)
      set(text "checked ${i}.${k}")
      string(LENGTH "${text}" n)
      string(APPEND body "    if (get_control_check(dialog, ${id}) == ${r}) {\n        push_copy(f, \"${text}\", ${n});\n"
        "        push_empty(f);\n        message_box(f, MB_ICONINFORMATION);\n    }\n")
    elseif(op EQUAL 3)
      string(APPEND body "    push_borrowed(f, globals.names[${a}]);\n    {\n"
        "        StringView t = view_string(string_arg(f, 0));\n"
        "        for (std::uint32_t j = 0; j < t.count; ++j)\n"
        "            t.bytes[j] = static_cast<char>(upper_ascii(static_cast<std::uint8_t>(t.bytes[j] + ${k})));\n"
        "    }\n    string_assign(f, globals.names[${b}]);\n")
    else()
      string(APPEND body "    if (globals.counter++ % ${m} == ${r}) close_dialog(dialog, ${i});\n")
    endif()
  endforeach()
  set(${out} "${body}    return f.result;\n}\n" PARENT_SCOPE)
endfunction()

# kw_generated_program(DIR NAME CASES OBJECTS SKIP CHECKED FRAME): a program
# of CASES callbacks spread over OBJECTS source files, main.cpp creating a
# dialog with a button for each; case SKIP (or none, -1) is compiled out with
# #ifdef, as a user compiles out one case of a working program. With FRAME,
# one more callback fills a local buffer of FRAME bytes (a frame of more than
# a page is probed through libgcc) and mixes in 64-bit division, a
# conversion from double, a population count and on x86-64 a 128-bit
# division, for which the generated code calls libgcc's helpers. Adds the
# program's lines to DIR/CMakeLists.txt's text in `project_text`.
function(kw_generated_program dir name cases objects skip checked frame)
  string(CONCAT head "#include \"runtime/message_box.h\"\n#include \"runtime/startup.h\"\n#include \"runtime/strings.h\"\n"
    "#include \"toolkit/toolkit.h\"\n\nstruct Globals {\n    DynString names[8];\n    std::int32_t counter;\n};\n"
    "extern Globals globals;\n\n")
  math(EXPR last "${cases} - 1")
  math(EXPR last_object "${objects} - 1")
  set(main "${head}Globals globals;\nKW_GLOBAL_AREA(globals);\n\n")
  set(calls "")
  foreach(i RANGE ${last})
    math(EXPR object "${i} % ${objects}")
    kw_generated_case(code ${i})
    if(i EQUAL skip)
      set(code "#ifndef SKIP_CASE_${i}\n${code}#endif\n")
    endif()
    string(APPEND case_code_${object} "${code}")
    string(APPEND main "std::int32_t on_case_${i}(HWND, UINT, WPARAM, LPARAM);\n")
    math(EXPR x "${i} % 10 * 28")
    math(EXPR y "${i} / 10 * 12 % 180")
    string(CONCAT call "    push_empty(f);\n    push_copy(f, \"Case\", 4);\n"
      "    add_control(f, dialog, ${i} + 100, nullptr, ${x}, ${y}, 26, 10, 0, 0, on_case_${i}, kPushButton);\n")
    if(i EQUAL skip)
      set(call "#ifndef SKIP_CASE_${i}\n${call}#endif\n")
    endif()
    string(APPEND calls "${call}")
  endforeach()
  if(frame GREATER 0)
    string(APPEND main "\nstd::int32_t on_frame(HWND dialog, UINT, WPARAM, LPARAM) {\n    ProcFrame f;\n"
      "    char buffer[${frame}];\n    for (std::uint32_t i = 0; i < sizeof buffer; ++i)\n"
      "        buffer[i] = static_cast<char>('a' + (i + globals.counter) % 26);\n"
      "    std::int64_t wide = static_cast<std::int64_t>(globals.counter) * 1000003;\n"
      "    std::uint64_t mix = static_cast<std::uint64_t>(wide / (globals.counter | 1)) % 977u +\n"
      "                        static_cast<std::uint64_t>(static_cast<double>(wide) * 0.5);\n"
      "#ifdef __x86_64__\n    __int128 wider = static_cast<__int128>(wide) << 70;\n"
      "    mix += static_cast<std::uint64_t>(wider / (globals.counter | 3));\n#endif\n"
      "    buffer[0] = static_cast<char>('a' + mix % 26 + __builtin_popcountll(mix) % 2);\n"
      "    push_copy(f, buffer, sizeof buffer);\n    write_control_text(f, dialog, 100);\n    return f.result;\n}\n")
    string(APPEND calls "    push_empty(f);\n    push_copy(f, \"Frame\", 5);\n"
      "    add_control(f, dialog, 99, nullptr, 0, 190, 26, 10, 0, 0, on_frame, kPushButton);\n")
  endif()
  string(APPEND main "\nstd::int32_t main_procedure(void*, void*, const char*, std::int32_t) {\n    ProcFrame f;\n"
    "    push_copy(f, \"Generated\", 9);\n    HWND dialog = create_dialog(f, nullptr, -1, -1, 300, 200, 0, 0);\n"
    "${calls}    run_dialog_modal(dialog, nullptr, nullptr);\n    return f.result;\n}\n")
  set(sources ${name}/main.cpp)
  file(WRITE ${dir}/${name}/main.cpp "${main}")
  foreach(object RANGE ${last_object})
    file(WRITE ${dir}/${name}/cases_${object}.cpp "${head}${case_code_${object}}")
    list(APPEND sources ${name}/cases_${object}.cpp)
  endforeach()
  set(text "add_executable(${name} WIN32 ${sources})\ntarget_link_libraries(${name} PRIVATE Kestrowane::toolkit)\n")
  if(skip GREATER_EQUAL 0)
    string(APPEND text "target_compile_definitions(${name} PRIVATE SKIP_CASE_${skip})\n")
  endif()
  if(checked)
    string(APPEND text "kestrowane_program(${name} CHECKED)\n")
  else()
    string(APPEND text "kestrowane_program(${name})\n")
  endif()
  set(project_text "${project_text}${text}" PARENT_SCOPE)
endfunction()

if(ARCH STREQUAL "x86_64")
  set(format pei-x86-64)
else()
  set(format pei-i386)
endif()
set(prefix ${WORK_DIR}/prefix)
set(project ${WORK_DIR}/programs)
file(REMOVE_RECURSE ${WORK_DIR})
run("cmake --install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# name, cases, source files, the case compiled out (-1: none), checked, the
# bytes of a callback's local buffer (0: none). 140 cases is the smallest
# program found that LTO would split in two at its default partition size
# (130 stays in one); 150 cases would split in two or three, and the same with
# one case compiled out in another layout. A buffer of more than a page
# (4,096 bytes) makes the generated code call libgcc's stack probe, and the
# arithmetic beside it other libgcc helpers.
set(default_variants
  "tiny 4 1 -1 0 0"
  "tiny_frame 4 1 -1 0 5000"
  "small 40 1 -1 0 0"
  "split 140 1 -1 0 0"
  "large_less_one 150 1 57 0 0"
  "large_objects 150 4 -1 0 0"
  "large_checked_frame 150 3 -1 1 8192")
if(NOT DEFINED VARIANTS)
  set(VARIANTS ${default_variants})
endif()
string(CONCAT project_text "cmake_minimum_required(VERSION 3.20)\nproject(LinkVariants LANGUAGES CXX)\n"
  "set(CMAKE_CXX_STANDARD 20)\nset(CMAKE_CXX_EXTENSIONS ON)\nfind_package(Kestrowane REQUIRED)\n")
set(names "")
foreach(v IN LISTS VARIANTS)
  separate_arguments(v)
  kw_generated_program(${project} ${v})
  list(GET v 0 name)
  list(APPEND names ${name})
endforeach()
file(WRITE ${project}/CMakeLists.txt "${project_text}")

run("configuring the generated programs" ${CMAKE_COMMAND} -S ${project} -B ${project}/build
    -DCMAKE_TOOLCHAIN_FILE=${prefix}/share/kestrowane/mingw-${ARCH}.cmake -DCMAKE_BUILD_TYPE=MinSizeRel
    -DCMAKE_PREFIX_PATH=${prefix})
# All programs in one build, two at a time; a link that fails is named by
# its error lines.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${project}/build -j 2
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out TIMEOUT 600)
if(NOT status EQUAL 0)
  string(REGEX MATCHALL "[^\n]*(error|fatal|signal|undefined reference)[^\n]*" why "${out}")
  string(REPLACE ";" "\n" why "${why}")
  message(FATAL_ERROR "link_variants_test: the generated ${ARCH} programs did not all build (${status}):\n${why}")
endif()
if(out MATCHES "warning:")
  message(FATAL_ERROR "link_variants_test: the generated programs built with warnings:\n${out}")
endif()
foreach(name IN LISTS names)
  # A shipped image: the architecture's format, a GUI program entered at
  # the process entry, ASLR and NX, high-entropy ASLR on x86-64.
  run("objdump of ${name}" ${OBJDUMP} -p ${project}/build/${name}.exe)
  set(expect "file format ${format}" "Subsystem[ \t]+0*2[ \t]" "DYNAMIC_BASE" "NX_COMPAT")
  if(ARCH STREQUAL "x86_64")
    list(APPEND expect "HIGH_ENTROPY_VA")
  endif()
  foreach(pattern IN LISTS expect)
    if(NOT run_output MATCHES "${pattern}")
      message(FATAL_ERROR "link_variants_test: ${name}.exe lacks /${pattern}/ in its headers:\n${run_output}")
    endif()
  endforeach()
  if(run_output MATCHES "AddressOfEntryPoint[ \t]+0+\n")
    message(FATAL_ERROR "link_variants_test: ${name}.exe has no entry point")
  endif()
  file(SIZE ${project}/build/${name}.exe size)
  message(STATUS "link_variants_test: ${ARCH} ${name} linked, ${size} bytes")
endforeach()
