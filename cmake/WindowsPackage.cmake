# The Windows distribution: a ZIP and an NSIS installer of what `cmake --install`
# puts in place (the programs), made with `cpack` in the build folder.
set(CPACK_PACKAGE_NAME "Vorenta Firmware Update")
set(CPACK_PACKAGE_VENDOR "Harwen Systems")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Firmware update utility for the Vorenta Mobile Module")
set(CPACK_PACKAGE_FILE_NAME "vorenta-update-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Harwen Systems\\\\Vorenta Firmware Update")
set(CPACK_GENERATOR "ZIP;NSIS")

set(CPACK_NSIS_DISPLAY_NAME "Vorenta Firmware Update")
set(CPACK_NSIS_PACKAGE_NAME "Vorenta Firmware Update")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The Start-menu entry opens the update window when it is built, else a
# console with the headless updater's help.
if(TARGET vorenta-update)
  set(CPACK_PACKAGE_EXECUTABLES "vorenta-update;Vorenta Firmware Update")
  set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\vorenta-update.exe")
else()
  set(CPACK_PACKAGE_EXECUTABLES "vorenta-flash;Vorenta Firmware Update (command line)")
endif()
include(CPack)

if(VORENTA_BUILD_TESTS)
  # Both packages are made and looked into (needs the programs built).
  add_test(NAME windows_packages COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check-packages.sh
                                         ${CMAKE_BINARY_DIR})
  set_tests_properties(windows_packages PROPERTIES TIMEOUT 300)
endif()
