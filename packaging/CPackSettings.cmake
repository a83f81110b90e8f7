# The Debian package of the three programs (see packaging/CMakeLists.txt for what it holds).
# Included from the top CMakeLists.txt, after the packaging folder, so that the "package" target
# exists: `cmake --build --preset default --target package` writes build/kvl-motor_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${KVL_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The kvl_motor developers")
set(CPACK_PACKAGE_CONTACT "${KVL_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "engineering tool for actuator controllers on an RS-485 bus")
# The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Sets up, tests and tunes single-axis actuator controllers and their\n"
    "fieldbus gateway unit on an RS-485 multi-drop bus: finds the controllers,\n"
    "edits and transfers point tables and parameters, jogs, homes and runs\n"
    "axes, watches I/O and alarms, captures waveforms and auto-tunes gains.\n"
    "\n"
    "The package holds the desktop tool kvl_motor, the command line kvlctl and\n"
    "the device simulator kvlsim, which lets everything run without hardware.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Qt's translations give its own dialogs (file, print, message boxes) the user's language; no
# library links them, so they are named here.
set(KVL_DEB_QT_TRANSLATIONS "qt6-translations-l10n")
# The Qt 6 and QCustomPlot runtime packages (and the C and C++ libraries) come from the libraries
# the programs link, as dpkg-shlibdeps (dpkg-dev) reads them, added to the list above; without it,
# the list by hand.
find_program(KVL_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KVL_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${KVL_DEB_QT_TRANSLATIONS}")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "${KVL_DEB_QT_TRANSLATIONS}, "
      "libc6, libstdc++6, libgcc-s1, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), "
      "libqt6network6 (>= 6.4), libqt6printsupport6 (>= 6.4), libqt6serialport6 (>= 6.4), "
      "libqt6svg6 (>= 6.4), libqcustomplot2.1-qt6")
  string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DEPENDS "${CPACK_DEBIAN_PACKAGE_DEPENDS}")
endif()
# The Japanese and Chinese texts are shown in the Noto CJK faces.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
include(CPack)
