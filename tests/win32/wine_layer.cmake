# The Wine layer's own failures (a broken or missing Wine of either
# architecture, a failing wineboot, a dying display), each produced for real.
# It needs no Wine to run, so it runs on every machine; once, in the i686
# tree, since it covers both architectures.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_test(NAME win32_wine_layer
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/wine_layer_test.sh ${CMAKE_CURRENT_BINARY_DIR}/wine-layer-test)
  set_tests_properties(win32_wine_layer PROPERTIES TIMEOUT 120)
endif()
