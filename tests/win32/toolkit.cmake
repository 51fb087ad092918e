add_executable(win32_toolkit dialogs_test.cpp controls_test.cpp resources/test_images.rc)
target_link_libraries(win32_toolkit PRIVATE kestrowane_toolkit kestrowane_runtime)
kw_test(win32_toolkit)
# As programs ship: UTF-8 is the code page (the manifest of kestrowane_program).
kestrowane_program_manifest(win32_toolkit UTF-8 SYSTEM "")
