# Shared by this tree and the installed package.

# kestrowane_variant_selector(SELECTOR RELEASE CHECKED): SELECTOR links RELEASE,
# or CHECKED (when that target exists) into a target whose KESTROWANE_CHECKED
# property is on. So an application links Kestrowane::toolkit whichever way it
# is built, and kestrowane_program(... CHECKED) chooses.
function(kestrowane_variant_selector selector release checked)
  if(selector MATCHES "::")
    add_library(${selector} INTERFACE IMPORTED)
  else()
    add_library(${selector} INTERFACE)
  endif()
  set(pick ${release})
  if(TARGET ${checked})
    set(pick "$<IF:$<BOOL:$<TARGET_PROPERTY:KESTROWANE_CHECKED>>,${checked},${release}>")
  endif()
  set_property(TARGET ${selector} PROPERTY INTERFACE_LINK_LIBRARIES "${pick}")
endfunction()

# kestrowane_link_program(TARGET START RUNTIME_CHECKED [CHECKED]): how a
# program links as it ships: our own process entry (START), no C runtime,
# link-time optimisation across the libraries, imports from the four system
# DLLs only, a GUI image with ASLR and NX. On i686 a PE32 image that is not
# large-address-aware (bit 31 of a string handle is the borrowed mark); on
# x86-64 a PE32+ image with high-entropy ASLR (a string entry keeps its mark
# apart from the handle). libgcc serves __chkstk_ms and 64-bit helpers and
# pulls in no DLL. CHECKED links the checked libraries (RUNTIME_CHECKED must
# then exist) and compiles the program's own code with KW_CHECKED and line
# information, and keeps the image's symbols.
function(kestrowane_link_program target start runtime_checked)
  cmake_parse_arguments(arg "CHECKED;VISUAL_STYLES" "CODE_PAGE;DPI_AWARENESS" "" ${ARGN})
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "kestrowane_program(${target}): unknown arguments ${arg_UNPARSED_ARGUMENTS}; the options "
      "are CHECKED, CODE_PAGE UTF-8|ANSI, DPI_AWARENESS SYSTEM|PER_MONITOR|UNAWARE and VISUAL_STYLES")
  endif()
  kestrowane_program_manifest(${target} "${arg_CODE_PAGE}" "${arg_DPI_AWARENESS}" "${arg_VISUAL_STYLES}" has_manifest)
  if(arg_CHECKED)
    if(NOT TARGET ${runtime_checked})
      message(FATAL_ERROR "kestrowane_program(${target} CHECKED): this Kestrowane has no checked libraries; "
        "build and install it with -DKW_BUILD_CHECKED=ON")
    endif()
    set_target_properties(${target} PROPERTIES KESTROWANE_CHECKED ON)
    # A checked program keeps its symbols and line table: its reports name the
    # calling code as module+offset, which addr2line turns into a line.
    target_compile_options(${target} PRIVATE -g)
    set(strip -g)
  else()
    set(strip -s)
  endif()
  target_link_libraries(${target} PRIVATE ${start})
  # What a program without the C runtime cannot use is an error at compile
  # time, with a line that says what to do instead.
  target_compile_options(${target} PRIVATE "SHELL:-include runtime/program_rules.h")
  # The i386 entry symbol carries a leading underscore; the x86-64 one none.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(image -Wl,-e,kw_process_entry -Wl,--high-entropy-va)
  else()
    set(image -Wl,-e,_kw_process_entry -Wl,--disable-large-address-aware)
  endif()
  target_link_options(${target} PRIVATE
    -nostdlib -nostartfiles -mwindows
    -flto -Os ${image} -Wl,--dynamicbase -Wl,--nxcompat -Wl,--gc-sections ${strip})
  # So that the link does not fail with the program's size, layout or
  # arithmetic (reproductions in docs/platform.md, "The cross toolchain"):
  #  - link-time optimisation as one partition: GCC 12 splits a larger
  #    program into several, and for these targets that link then fails
  #    depending on the layout (an internal compiler error, or references to
  #    a privatised function that no partition defines);
  #  - libgcc's stack probe loaded before the optimised code is generated
  #    (kestrowane_link_helpers.cpp, compiled without LTO): loaded after it,
  #    for a frame larger than a page, it crashes the linker, and so does
  #    any other libgcc helper loaded late unless the probe was loaded first.
  target_link_options(${target} PRIVATE -flto-partition=one)
  set(helpers ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/kestrowane_link_helpers.cpp)
  target_sources(${target} PRIVATE ${helpers})
  set_source_files_properties(${helpers} TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS -fno-lto)
  if(NOT arg_CHECKED)
    kestrowane_program_layout(${target} ${has_manifest})
  endif()
  target_link_libraries(${target} PRIVATE kernel32 user32 advapi32 oleaut32 gcc)
endfunction()

# kestrowane_program_layout(TARGET HAS_MANIFEST): a shipped program links
# with three sections (KestrowaneImage.ld.in): a page of headers less, and no
# page of padding for the manifest or the data. A program that compiles
# resources of its own (.rc or .res sources) keeps the toolchain's layout:
# the linker merges the resource trees of several objects (the program's and
# the manifest) only in a section that holds nothing but resources.
# The layout's template lies beside this file, found from the function itself
# so that a project that adds this tree as a subdirectory can call it too.
function(kestrowane_program_layout target has_manifest)
  if(has_manifest)
    set(KW_DATA_SECTION .rsrc)
  else()
    set(KW_DATA_SECTION .data)
  endif()
  # The import address table is aligned to a pointer, no more.
  set(KW_POINTER_SIZE ${CMAKE_SIZEOF_VOID_P})
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_layout.ld)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/KestrowaneImage.ld.in ${script} @ONLY)
  set(own_resources "$<FILTER:$<TARGET_PROPERTY:${target},SOURCES>,INCLUDE,\\.(rc|res|RC|RES)$>")
  target_link_options(${target} PRIVATE "$<$<STREQUAL:${own_resources},>:-Wl,-T,${script}>")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${script})
endfunction()

# kestrowane_program_manifest(TARGET CODE_PAGE DPI_AWARENESS VISUAL_STYLES
# [HAS_MANIFEST]): the program's manifest, linked in as its resource 1 of type
# 24; HAS_MANIFEST names a variable set to whether the program has one.
#  - CODE_PAGE UTF-8 (the default) makes UTF-8 the process's code page where
#    the platform honours it (Windows 10 version 1903 and later, Wine 8), so
#    the 8-bit strings carry every script; ANSI keeps the system's code page.
#  - DPI_AWARENESS SYSTEM (the default) has the platform draw at the display's
#    resolution as it was when the program started; PER_MONITOR also for a
#    display changed or moved to later (dialogs keep the pixel sizes they were
#    built with there); UNAWARE has it stretch a bitmap instead.
#  - VISUAL_STYLES selects version 6 of the common controls: themed buttons
#    and boxes, at a start-up cost (bench/README.md).
# With ANSI, UNAWARE and no visual styles the program has no manifest at all.
function(kestrowane_program_manifest target code_page dpi visual_styles)
  set(has_manifest ${ARGV4})
  if(has_manifest)
    set(${has_manifest} FALSE PARENT_SCOPE)
  endif()
  if(NOT code_page)
    set(code_page UTF-8)
  endif()
  if(NOT dpi)
    set(dpi SYSTEM)
  endif()
  if(NOT code_page MATCHES "^(UTF-8|ANSI)$" OR NOT dpi MATCHES "^(SYSTEM|PER_MONITOR|UNAWARE)$")
    message(FATAL_ERROR "kestrowane_program(${target}): CODE_PAGE is UTF-8 or ANSI, DPI_AWARENESS is SYSTEM, "
      "PER_MONITOR or UNAWARE (given ${code_page}, ${dpi})")
  endif()
  set(settings "")
  if(code_page STREQUAL "UTF-8")
    string(APPEND settings "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8</activeCodePage>")
  endif()
  if(dpi STREQUAL "SYSTEM")
    string(APPEND settings "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>")
  elseif(dpi STREQUAL "PER_MONITOR")
    string(APPEND settings "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"
      "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2,PerMonitor</dpiAwareness>")
  endif()
  set(body "")
  if(settings)
    set(body "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\"><windowsSettings>${settings}</windowsSettings></application>")
  endif()
  if(visual_styles)
    string(APPEND body "<dependency><dependentAssembly><assemblyIdentity type=\"win32\" "
      "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"*\" "
      "publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/></dependentAssembly></dependency>")
  endif()
  if(NOT body)
    return()
  endif()
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest)
  file(WRITE ${dir}/program.manifest.new
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">${body}</assembly>\n")
  file(COPY_FILE ${dir}/program.manifest.new ${dir}/program.manifest ONLY_IF_DIFFERENT)
  file(WRITE ${dir}/manifest.rc "1 24 \"program.manifest\"\n")
  set(rc_compiler ${CMAKE_RC_COMPILER})
  if(NOT rc_compiler)
    find_program(rc_compiler NAMES ${CMAKE_C_COMPILER_TARGET}-windres i686-w64-mingw32-windres windres REQUIRED)
  endif()
  add_custom_command(OUTPUT ${dir}/manifest.o
    COMMAND ${rc_compiler} -O coff -i manifest.rc -o manifest.o
    WORKING_DIRECTORY ${dir}
    DEPENDS ${dir}/program.manifest ${dir}/manifest.rc
    COMMENT "The manifest of ${target}")
  set_source_files_properties(${dir}/manifest.o PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
  target_sources(${target} PRIVATE ${dir}/manifest.o)
  if(has_manifest)
    set(${has_manifest} TRUE PARENT_SCOPE)
  endif()
endfunction()
