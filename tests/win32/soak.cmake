# The soak tier: long runs, a reduced count by default (KW_SOAK_CYCLES).
add_executable(soak_toolkit ${PROJECT_SOURCE_DIR}/tests/soak/soak_test.cpp resources/test_images.rc)
target_link_libraries(soak_toolkit PRIVATE kestrowane_toolkit kestrowane_runtime)
kw_test(soak_toolkit)
set_property(TEST soak_toolkit APPEND PROPERTY LABELS soak)
set_tests_properties(soak_toolkit PROPERTIES TIMEOUT 3600)
