# kelvo_add_test(<source>)
# Makes one Qt Test executable from tests/<area>/tst_<unit>.cpp, named tst_<area>_<unit>,
# and registers it with CTest, headless. Each one is linked with the test guard
# (tests/support/testguard.cpp): no printer of the machine, no folder of the user.
function(kelvo_add_test source)
  get_filename_component(unit ${source} NAME_WE)
  get_filename_component(dir ${source} DIRECTORY)
  get_filename_component(area ${dir} NAME)
  string(REGEX REPLACE "^tst_" "" unit ${unit})
  set(name tst_${area}_${unit})
  add_executable(${name} ${source})
  target_compile_options(${name} PRIVATE ${KELVO_WARNINGS})
  target_compile_definitions(${name} PRIVATE
    KELVO_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/${area}/data"
    KELVO_SIM_BINARY="$<TARGET_FILE:qm4100-sim>")
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE kelvotestguard kelvocore qm4100sim Qt6::Test)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;QT_LOGGING_RULES=*.debug=false"
    TIMEOUT 300)
endfunction()
