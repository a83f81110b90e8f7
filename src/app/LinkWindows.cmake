# Axis link and port settings: Qt-free models in kvl_appcore, windows in kvl_app_gui.
list(APPEND KVL_APPCORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CBusPortAccess.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CAxisLinkModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CPortSettingsModel.cpp
)
list(APPEND KVL_APP_GUI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CKVL_VER2_AXIS_LINK_DIALOG.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CKVL_VER2_PortSetDlg.cpp
)
