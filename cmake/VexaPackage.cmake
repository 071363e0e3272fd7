# `cpack -G DEB` in a build folder makes the Debian package of what VexaInstall.cmake installs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vexademo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "VexaDemoPPC developers <vexademo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "demonstration and diagnostic program for a GPS receiver")
# Debian shows the long description as written, so its lines are kept short here.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "VexaDemoPPC opens a GPS receiver's serial port, finds its baud rate and"
       "protocol (NMEA 0183 or the chipset's framed binary protocol) by itself and"
       "shows position, signals, sky, plot, map and raw text on six pages. It sends"
       "the receiver commands, logs its data and runs positioning sessions with an"
       "assistance server. The package also holds vexademo-cli, the same program"
       "without windows, and vexasim, a simulated receiver for trying it out.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Loaded at run time, so shlibdeps cannot see them: the display plugins and the font the pages
# are laid out for.
if(VEXA_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2")
endif()
include(CPack)
