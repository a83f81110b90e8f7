# Tests of the axis link and port settings windows and their models (offscreen, simulator
# in-process).
add_executable(test_app_link
  ${CMAKE_CURRENT_LIST_DIR}/LinkMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinkFixture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ModalAnswer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AxisLinkModelTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PortSettingsModelTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AxisLinkWindowTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PortSettingsWindowTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinkSearchReportTest.cpp
)
target_include_directories(test_app_link PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(test_app_link PRIVATE kvl_app_gui kvl_test_support Qt6::Test GTest::gtest)
add_dependencies(test_app_link kvl_system)
gtest_discover_tests(test_app_link DISCOVERY_TIMEOUT 30
                     PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen RESOURCE_LOCK pty)
