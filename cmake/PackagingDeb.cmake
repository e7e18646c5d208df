# A Debian package of the utility: `cpack -G DEB` in a build folder (the
# release build) makes vorenta-update_<version>_<arch>.deb. The package holds
# what `cmake --install` installs under /usr; its dependencies are found by
# dpkg-shlibdeps from the programs' shared libraries. It holds no firmware.
set(CPACK_PACKAGE_NAME vorenta-update)
set(CPACK_PACKAGE_VENDOR "Harwen Systems")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Firmware update utility for the Vorenta Mobile Module")
# Lines of at most 80 characters, as Debian's tools want them.
set(CPACK_PACKAGE_DESCRIPTION
    "Replaces the firmware of a Vorenta Mobile Module through a Vorenta base\n"
    "station on a serial port: the update window, a headless updater for scripts\n"
    "and production lines, a simulated base station and a serial port tool.\n"
    "No firmware comes with it: a firmware release and its description file go\n"
    "into /usr/lib/vorenta.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_VENDOR} <${VORENTA_CONTACT_SUPPORT_EMAIL}>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VORENTA_CONTACT_WEB_ADDRESS})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs reach a base station through serial devices the dialout group may use.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-utils")

# A native package's copyright file and changelog, compressed as Debian wants
# the changelog (the date in it stays fixed, so the package is reproducible).
set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_PACKAGE_NAME})
string(REGEX REPLACE "^Copyright \\([Cc]\\) " "" VORENTA_COPYRIGHT_YEARS_AND_HOLDER
                     "${VORENTA_CONTACT_COPYRIGHT}")
configure_file(${PROJECT_SOURCE_DIR}/doc/debian/copyright.in ${CMAKE_BINARY_DIR}/debian/copyright
               @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/doc/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog
               @ONLY)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.gz
  COMMAND gzip -9 -n -c ${CMAKE_BINARY_DIR}/debian/changelog > ${CMAKE_BINARY_DIR}/debian/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog
  COMMENT "Compressing the Debian changelog")
add_custom_target(debian-changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/debian/copyright ${CMAKE_BINARY_DIR}/debian/changelog.gz
        DESTINATION ${doc_dir})

include(CPack)
