# The order of the tree's folders, kept by the build: cmake/CheckLayers.cmake
# runs whenever a source of them changed, and every library of the tree waits
# for it, so an include against the order fails the build.
set(VORENTA_LAYER_FOLDERS platform common firmware serial update ui app tools)
set(layer_globs)
foreach(folder ${VORENTA_LAYER_FOLDERS})
  list(APPEND layer_globs ${PROJECT_SOURCE_DIR}/${folder}/*.h ${PROJECT_SOURCE_DIR}/${folder}/*.cpp
       ${PROJECT_SOURCE_DIR}/${folder}/*.h.in)
endforeach()
file(GLOB_RECURSE layer_sources CONFIGURE_DEPENDS ${layer_globs})
set(VORENTA_LAYER_STAMP ${CMAKE_BINARY_DIR}/layers.checked)
add_custom_command(
  OUTPUT ${VORENTA_LAYER_STAMP}
  COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} -DSTAMP=${VORENTA_LAYER_STAMP} -P
          ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
  DEPENDS ${layer_sources} ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
  COMMENT "Checking that every folder includes only the folders below it"
  VERBATIM)
add_custom_target(vorenta_layers ALL DEPENDS ${VORENTA_LAYER_STAMP})

# A library of one folder of the tree, built once the order of the folders is
# known to hold.
function(vorenta_folder_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  add_dependencies(${name} vorenta_layers)
endfunction()
