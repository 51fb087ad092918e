# The rounding arithmetic of the geometry operations.
add_executable(host_units units_test.cpp)
target_link_libraries(host_units PRIVATE kestrowane_toolkit_core)
kw_test(host_units)
