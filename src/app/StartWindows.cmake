# Application object, start window and demo mode (Qt-free parts go to kvl_appcore, windows to
# kvl_app_gui), and the kvl_motor executable.
find_package(Qt6 6.4 REQUIRED COMPONENTS Network)
list(APPEND KVL_APPCORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CSessionPort.cpp
)
list(APPEND KVL_APP_GUI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CKVL_ControlApp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CKVL_VER2_ControlDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CWindowRegistry.cpp
)

function(kvl_define_app_gui)
  add_library(kvl_app_gui STATIC ${KVL_APP_GUI_SOURCES})
  target_include_directories(kvl_app_gui PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
  target_link_libraries(kvl_app_gui PUBLIC kvl_common kvl_ui kvl_appcore kvl_sim
                        Qt6::Widgets Qt6::SerialPort Qt6::Network)

  add_executable(kvl_motor ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/main.cpp)
  target_link_libraries(kvl_motor PRIVATE kvl_app_gui)
  add_dependencies(kvl_motor kvl_system)

  # The README's pictures (scripts/screenshots); beside kvl_motor, where the system folder is.
  add_executable(kvl_screenshots ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/screenshots_main.cpp)
  target_link_libraries(kvl_screenshots PRIVATE kvl_app_gui)
  add_dependencies(kvl_screenshots kvl_system)
endfunction()
