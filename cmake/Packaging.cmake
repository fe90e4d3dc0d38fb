# Installed like a desktop program: the program in bin/, the manual in the
# documentation folder, a menu entry and its icon in their XDG places, and
# the man page. `cpack -G DEB` in the build folder makes the Debian package
# (scripts/package.sh builds and checks it).

# The manual beside the program in the build folder too, where the program
# looks when it is not installed.
file(GLOB BC_MANUAL_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/Brindlecast.html)
file(GLOB BC_MANUAL_IMAGES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/images/*.png)
set(_beside ${PROJECT_BINARY_DIR}/src/app)
set(_copies)
foreach(_file IN LISTS BC_MANUAL_FILES BC_MANUAL_IMAGES)
  file(RELATIVE_PATH _rel ${PROJECT_SOURCE_DIR}/docs ${_file})
  add_custom_command(OUTPUT ${_beside}/${_rel}
                     COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_file} ${_beside}/${_rel}
                     DEPENDS ${_file} VERBATIM)
  list(APPEND _copies ${_beside}/${_rel})
endforeach()

string(TIMESTAMP BC_MAN_DATE "%Y-%m-%d" UTC)
configure_file(${PROJECT_SOURCE_DIR}/dist/brindlecast.1.in ${PROJECT_BINARY_DIR}/dist/brindlecast.1 @ONLY)
# Debian ships man pages compressed; -n keeps the package reproducible.
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/dist/brindlecast.1.gz
                   COMMAND gzip -9nf -k ${PROJECT_BINARY_DIR}/dist/brindlecast.1
                   DEPENDS ${PROJECT_BINARY_DIR}/dist/brindlecast.1 VERBATIM)
add_custom_target(bc_documents ALL DEPENDS ${_copies} ${PROJECT_BINARY_DIR}/dist/brindlecast.1.gz)
add_dependencies(brindlecast bc_documents)

install(TARGETS brindlecast RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${BC_MANUAL_FILES} DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${BC_MANUAL_IMAGES} DESTINATION ${CMAKE_INSTALL_DOCDIR}/images)
install(FILES ${PROJECT_SOURCE_DIR}/dist/brindlecast.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/dist/brindlecast.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_BINARY_DIR}/dist/brindlecast.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(BC_PACKAGE_MAINTAINER "Brindlecast developers <brindlecast@localhost>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_NAME brindlecast)
set(CPACK_PACKAGE_VENDOR "${BC_DISTRIBUTOR_NAME}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keeps address books clean of e-mail addresses that bounce")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Brindlecast reads the returned messages of a Maildir folder, takes the\n"
    "addresses out of them and looks them up in vCard address books: it deletes\n"
    "or marks the contacts found, clears the dead address, attaches the bounce\n"
    "as a note and schedules a task, then moves the returned messages away.\n"
    "It runs as a desktop program or unattended from cron or a systemd timer.")
string(JOIN "" CPACK_DEBIAN_PACKAGE_DESCRIPTION ${CPACK_DEBIAN_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${BC_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries it links come from dpkg-shlibdeps; the SVG plugins (the
# window icon) are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
# Web pages of the help go to the desktop's browser.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
# The package installs where this build looks for its manual.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_GENERATOR DEB)
include(CPack)
