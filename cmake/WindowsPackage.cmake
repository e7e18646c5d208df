# The Windows distribution: a ZIP and an NSIS installer of what `cmake --install`
# puts in place (the programs and a text for Windows users), made with `cpack`
# in the build folder.

# The text for Windows users, with Windows' line ends, at the top of the folder.
configure_file(${PROJECT_SOURCE_DIR}/doc/windows/README.txt.in ${CMAKE_BINARY_DIR}/windows/README.txt
               @ONLY NEWLINE_STYLE WIN32)
install(FILES ${CMAKE_BINARY_DIR}/windows/README.txt DESTINATION .)

set(CPACK_PACKAGE_NAME "Vorenta Firmware Update")
set(CPACK_PACKAGE_VENDOR "Harwen Systems")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Firmware update utility for the Vorenta Mobile Module")
set(CPACK_PACKAGE_FILE_NAME "vorenta-update-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Harwen Systems\\\\Vorenta Firmware Update")
# Its own key under Uninstall (else it would be nested below "Harwen Systems",
# where Apps and Features does not look) and under Software\Harwen Systems.
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Vorenta Firmware Update")
set(CPACK_GENERATOR "ZIP;NSIS")

# A 64-bit installer (Debian's NSIS has the amd64-unicode stubs and plugins) for
# the 64-bit programs, into the 64-bit program folder and registry view.
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME "Vorenta Firmware Update")
set(CPACK_NSIS_PACKAGE_NAME "Vorenta Firmware Update")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MENU_LINKS "README.txt" "Read me")
# The script's own lines: the target, and an uninstaller that leaves no empty
# company folder or key of ours behind (single quotes pass through CPack as they are).
set(CPACK_NSIS_DEFINES "
  Target amd64-unicode
Function un.onUninstSuccess
  RMDir '$PROGRAMFILES64\\\\Harwen Systems'
  DeleteRegKey /ifempty SHCTX 'Software\\\\Harwen Systems'
FunctionEnd")
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
