# Manual pages made from each program's --help and --version by help2man, so the options are
# described once. Each page is made again whenever its program changes, and gzipped as Debian
# packages want them.
find_program(VEXA_HELP2MAN help2man)
find_program(VEXA_GZIP gzip)
if(NOT VEXA_HELP2MAN OR NOT VEXA_GZIP)
  message(STATUS "help2man or gzip not found: no manual pages (run scripts/bootstrap)")
endif()

# vexa_man_page(PROGRAM "what it is") makes man/PROGRAM.1.gz and installs it in section 1.
function(vexa_man_page program summary)
  if(NOT VEXA_HELP2MAN OR NOT VEXA_GZIP)
    return()
  endif()
  set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${VEXA_HELP2MAN} --no-info --name=${summary} --output=${page} $<TARGET_FILE:${program}>
    COMMAND ${VEXA_GZIP} -9nf ${page}
    DEPENDS ${program}
    COMMENT "Manual page of ${program}"
    VERBATIM)
  add_custom_target(${program}-man ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
