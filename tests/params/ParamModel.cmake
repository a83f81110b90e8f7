# The parameter model's test program: records, rules, loading and the shipped parameter files.
add_executable(test_params_model
  ${CMAKE_CURRENT_LIST_DIR}/CParamDataTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CParamRulesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CParamListTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CServoParamReaderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShippedParamFilesTest.cpp
)
target_link_libraries(test_params_model PRIVATE kvl_params GTest::gtest_main)
target_include_directories(test_params_model PRIVATE ${PROJECT_SOURCE_DIR}/tests)
# The shipped-file tests read the pristine copy of the system folder, which kvl_system writes.
target_compile_definitions(test_params_model PRIVATE KVL_PRISTINE_SYSTEM_DIR="${KVL_PRISTINE_SYSTEM_DIR}")
add_dependencies(test_params_model kvl_system)
gtest_discover_tests(test_params_model DISCOVERY_TIMEOUT 30)
