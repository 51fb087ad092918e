# What tour.script cannot read about the tour. CTest runs the driver in
# tests/e2e of the build tree; it finds the program at
# ../../examples/tour/tour.exe.
add_executable(e2e_tour ${CMAKE_CURRENT_LIST_DIR}/tour_test.cpp)
target_link_libraries(e2e_tour PRIVATE kw_tools)
kw_test(e2e_tour)
set_property(TEST e2e_tour APPEND PROPERTY LABELS e2e)
set_tests_properties(e2e_tour PROPERTIES TIMEOUT 600)
add_dependencies(e2e_tour tour)
