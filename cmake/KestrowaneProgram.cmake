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
  cmake_parse_arguments(arg "CHECKED" "" "" ${ARGN})
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "kestrowane_program(${target}): unknown arguments ${arg_UNPARSED_ARGUMENTS}; the only option is CHECKED")
  endif()
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
  target_link_libraries(${target} PRIVATE kernel32 user32 advapi32 oleaut32 gcc)
endfunction()
