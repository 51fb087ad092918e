# How a program links as it ships, shared by this tree and the installed
# package: our own process entry (the start target), no C runtime, link-time
# optimisation across the libraries, imports from the four system DLLs only,
# and a PE32 GUI image that is not large-address-aware (bit 31 of a string
# handle is the borrowed mark). libgcc serves __chkstk_ms and 64-bit helpers
# and pulls in no DLL.
function(kestrowane_link_program target start)
  target_link_libraries(${target} PRIVATE ${start})
  target_link_options(${target} PRIVATE
    -nostdlib -nostartfiles -mwindows
    -flto -Os -Wl,-e,_kw_process_entry -Wl,--gc-sections -Wl,--disable-large-address-aware -s)
  target_link_libraries(${target} PRIVATE kernel32 user32 advapi32 oleaut32 gcc)
endfunction()
