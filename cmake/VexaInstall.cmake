# What `cmake --install` puts where: the programs, their manual pages, the desktop entry and icons,
# the sample map and capture (share/vexademo, where the Map page looks when installed) and the
# package's copyright and change log.
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/VexaManPages.cmake)

set(VEXA_PROGRAMS vexademo-cli vexasim)
vexa_man_page(vexademo-cli "headless front end of the GPS receiver demonstration program")
vexa_man_page(vexasim "simulated GPS receiver on a pseudo-terminal")
if(VEXA_GUI)
  list(PREPEND VEXA_PROGRAMS vexademo)
  vexa_man_page(vexademo "demonstration and diagnostic program for a GPS receiver")
  install(FILES ${PROJECT_SOURCE_DIR}/res/desktop/vexademo.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/res/icons/vexademo.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  file(GLOB icon_sizes RELATIVE ${PROJECT_SOURCE_DIR}/res/icons ${PROJECT_SOURCE_DIR}/res/icons/[0-9]*x[0-9]*)
  foreach(size ${icon_sizes})
    install(FILES ${PROJECT_SOURCE_DIR}/res/icons/${size}/vexademo.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
  endforeach()
endif()
install(TARGETS ${VEXA_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(DIRECTORY ${PROJECT_SOURCE_DIR}/res/maps/VexaDemoPPC_Maps
        DESTINATION ${CMAKE_INSTALL_DATADIR}/vexademo/maps)
install(FILES ${PROJECT_SOURCE_DIR}/res/samples/demo.bin DESTINATION ${CMAKE_INSTALL_DATADIR}/vexademo/samples)

# Debian wants the change log gzipped without a time stamp, beside the copyright file.
set(changelog ${PROJECT_BINARY_DIR}/debian/changelog)
configure_file(${PROJECT_SOURCE_DIR}/res/debian/changelog.in ${changelog} @ONLY)
add_custom_command(
  OUTPUT ${changelog}.gz
  COMMAND ${VEXA_GZIP} -9nc ${changelog} > ${changelog}.gz
  DEPENDS ${changelog}
  VERBATIM)
add_custom_target(package-changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${PROJECT_SOURCE_DIR}/res/debian/copyright ${changelog}.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vexademo)
