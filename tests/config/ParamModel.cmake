# The parameter model's test program: records, rules, loading and the shipped parameter files.
add_executable(test_params_model
  ${CMAKE_CURRENT_LIST_DIR}/CParamDataTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CParamRulesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CParamListTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CServoParamReaderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShippedParamFilesTest.cpp
)
target_link_libraries(test_params_model PRIVATE kvl_config kvl_protocol GTest::gtest_main)
target_include_directories(test_params_model PRIVATE ${PROJECT_SOURCE_DIR}/tests)
# The shipped-file tests read build/bin/system, which kvl_system writes.
add_dependencies(test_params_model kvl_system)
gtest_discover_tests(test_params_model DISCOVERY_TIMEOUT 30)
