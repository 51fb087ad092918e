# The greeting's main procedure in a test program, its allocations failed in turn.
add_executable(win32_greeting_sweep greeting_sweep_test.cpp ${PROJECT_SOURCE_DIR}/app/greeting.cpp)
target_link_libraries(win32_greeting_sweep PRIVATE kestrowane_toolkit kestrowane_runtime)
kw_test(win32_greeting_sweep)
