# Tests of the start window, the message dialog, the busy indicator and demo mode (offscreen).
add_executable(test_app_start
  ${CMAKE_CURRENT_LIST_DIR}/StartMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StartAppFixture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ModalAnswer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BusyGuardTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BusyIndicatorTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MsgDlgTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StartWindowTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DemoModeTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowRegistryTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowTextsTest.cpp
)
target_include_directories(test_app_start PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(test_app_start PRIVATE kvl_app_gui kvl_test_support Qt6::Test GTest::gtest)
add_dependencies(test_app_start kvl_system)
gtest_discover_tests(test_app_start DISCOVERY_TIMEOUT 30
                     PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen RESOURCE_LOCK pty)
