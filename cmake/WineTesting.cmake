# Running the Windows programs under Wine, in a Wine prefix of this build folder.
# Included by the top-level CMakeLists.txt when cross-building for Windows.
if(NOT VORENTA_WINE64)
  message(WARNING "wine64 not found: the Windows build's tests cannot run (install wine64)")
  return()
endif()
get_filename_component(VORENTA_WINE_DIR ${VORENTA_WINE64} DIRECTORY)
find_program(VORENTA_WINESERVER NAMES wineserver PATHS ${VORENTA_WINE_DIR} /usr/lib/wine
             NO_CMAKE_FIND_ROOT_PATH REQUIRED)

set(VORENTA_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
# Every target made from here on runs through the wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

# Tests that run Windows programs ask for this fixture: one wineserver kept
# alive across them (a start costs about a second) and stopped at the end.
function(vorenta_wine_fixture)
  add_test(NAME wine_start COMMAND ${CMAKE_BINARY_DIR}/wine-run --start-server)
  add_test(NAME wine_stop COMMAND ${CMAKE_BINARY_DIR}/wine-run --stop-server)
  set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 180)
  set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)
endfunction()
