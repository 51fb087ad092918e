# Menus and geometry of the toolkit, against real dialogs.
add_executable(win32_menus_geometry menus_test.cpp geometry_test.cpp)
target_link_libraries(win32_menus_geometry PRIVATE kestrowane_toolkit kestrowane_runtime)
kw_test(win32_menus_geometry)
