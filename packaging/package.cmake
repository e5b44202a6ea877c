# The manual page, the package documents and the Debian package
# (`cmake --build build --target package`, or `make package`).
#
# Installed: verto, libverto_qt.so in lib/verto, the desktop entry, the
# icon, the manual page (compressed, as Debian ships manual pages), and the
# README, licence and changelog under share/doc/verto.

set(VERTO_PACKAGE_VERSION 5.3)
set(VERTO_PACKAGE_MAINTAINER "VERTO developers <verto@example.org>" CACHE STRING
    "Maintainer field and changelog signature of the Debian package")
set(VERTO_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package-files)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${VERTO_PACKAGE_DIR}/changelog @ONLY)

find_program(VERTO_GZIP gzip)
if(VERTO_GZIP)
  # -n: no name or time stamp in the archive, so that builds are reproducible.
  add_custom_command(
    OUTPUT ${VERTO_PACKAGE_DIR}/verto.1.gz ${VERTO_PACKAGE_DIR}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VERTO_PACKAGE_DIR}
    COMMAND ${VERTO_GZIP} -9n -c ${PROJECT_SOURCE_DIR}/packaging/verto.1 > ${VERTO_PACKAGE_DIR}/verto.1.gz
    COMMAND ${VERTO_GZIP} -9n -c ${VERTO_PACKAGE_DIR}/changelog > ${VERTO_PACKAGE_DIR}/changelog.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/verto.1 ${VERTO_PACKAGE_DIR}/changelog
    VERBATIM)
  add_custom_target(verto_package_files ALL
    DEPENDS ${VERTO_PACKAGE_DIR}/verto.1.gz ${VERTO_PACKAGE_DIR}/changelog.gz)
  install(FILES ${VERTO_PACKAGE_DIR}/verto.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${VERTO_PACKAGE_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
else()
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/verto.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME verto)
set(CPACK_PACKAGE_VERSION ${VERTO_PACKAGE_VERSION})
set(CPACK_PACKAGE_VENDOR "the VERTO developers")
set(CPACK_PACKAGE_CONTACT "${VERTO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interactive data analysis and plotting console")
# The summary above comes first; this is the long description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "VERTO keeps a few data sets in memory, reads and writes plain-text data\n"
    "files, computes on them (expressions, statistics, histograms, sorting,\n"
    "averaging, smoothing, derivatives, integrals, FFT), fits straight lines\n"
    "and a catalogue of models by least squares, and plots on screen, into\n"
    "HPGL or PostScript files, or as a character plot in the console.\n"
    "It runs in a frame window, in a terminal or on a script.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program and the window front-end link come from
# dpkg-shlibdeps (Qt 6 Widgets, Gui, Core and SVG, the C++ runtime); the
# console and the plots need a fixed-pitch font beside them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
# EDIT falls back on sensible-editor when neither VISUAL nor EDITOR is set.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "sensible-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
