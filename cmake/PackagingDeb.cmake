# A Debian package of the utility: `cpack -G DEB` in a build folder (the
# release build) makes vorenta-update_<version>_<arch>.deb. The package holds
# what `cmake --install` installs under /usr; its dependencies are found by
# dpkg-shlibdeps from the programs' shared libraries.
set(CPACK_PACKAGE_NAME vorenta-update)
set(CPACK_PACKAGE_VENDOR "Harwen Systems")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Firmware update utility for the Vorenta Mobile Module")
set(CPACK_PACKAGE_DESCRIPTION
    "Replaces the firmware of a Vorenta Mobile Module through a Vorenta base station on a\n"
    "serial port: the update window, a headless updater for scripts and production lines,\n"
    "a simulated base station and a serial port tool, with a sample firmware.")
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

include(CPack)
