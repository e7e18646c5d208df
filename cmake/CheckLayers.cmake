# Refuses an include against the order of the tree's folders. Run as a script:
#
#   cmake -DROOT=<tree> [-DSTAMP=<file>] -P cmake/CheckLayers.cmake
#
# Folders, lowest first; each uses only the folders before it:
#   platform, common, firmware, serial, update, ui, app, tools
# Within a folder: ui/ itself uses neither of its hosts ui/wx and ui/win32, a
# host only ui/ and itself; each program in tools/ only its own folder. What
# the folders of platform/ may use of each other is left to platform/.
# Includes are rooted at the tree's root ("update/SessionEvents.h"); others
# (system headers, a file beside the includer) are not looked at. Writes STAMP
# when every include keeps to the order, else fails naming each one that does not.
cmake_minimum_required(VERSION 3.25)

set(order platform common firmware serial update ui app tools)
if(NOT ROOT)
  message(FATAL_ERROR "CheckLayers: give -DROOT=<the tree's root>")
endif()

# The unit of a path inside the tree: ui/wx, ui/win32 and tools/<program> are
# units of their own, everything else is its top folder.
function(unit_of path result)
  string(REGEX MATCH "^[^/]+" top "${path}")
  set(unit "${top}")
  if(top STREQUAL "ui" AND path MATCHES "^ui/(wx|win32)/")
    set(unit "ui/${CMAKE_MATCH_1}")
  elseif(top STREQUAL "tools" AND path MATCHES "^tools/([^/]+)/")
    set(unit "tools/${CMAKE_MATCH_1}")
  endif()
  set(${result} "${unit}" PARENT_SCOPE)
endfunction()

set(globs)
foreach(folder ${order})
  list(APPEND globs "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp" "${ROOT}/${folder}/*.h.in")
endforeach()
file(GLOB_RECURSE files RELATIVE "${ROOT}" ${globs})
list(SORT files)

set(refused)
foreach(file ${files})
  string(REGEX MATCH "^[^/]+" from "${file}")
  list(FIND order "${from}" fromRank)
  unit_of("${file}" fromUnit)
  file(STRINGS "${ROOT}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/")
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" included "${line}")
    string(REGEX MATCH "^[^/]+" to "${included}")
    list(FIND order "${to}" toRank)
    if(toRank EQUAL -1)
      continue()
    endif()
    unit_of("${included}" toUnit)
    set(allowed FALSE)
    if(toRank LESS fromRank)
      set(allowed TRUE)
    elseif(toRank EQUAL fromRank)
      if(from STREQUAL "platform" OR toUnit STREQUAL fromUnit)
        set(allowed TRUE)
      elseif(from STREQUAL "ui" AND toUnit STREQUAL "ui")
        set(allowed TRUE)  # a host uses the window logic
      endif()
    endif()
    if(NOT allowed)
      list(APPEND refused "${file}: includes \"${included}\" (${fromUnit} may not use ${toUnit})")
    endif()
  endforeach()
endforeach()

if(refused)
  list(LENGTH refused count)
  list(JOIN refused "\n  " text)
  string(REPLACE ";" " " orderText "${order}")
  message(FATAL_ERROR "${count} include(s) against the order of the folders (${orderText}; "
                      "each uses only those before it):\n  ${text}")
endif()
if(STAMP)
  file(TOUCH "${STAMP}")
endif()
