# Plants includes in a small tree of its own and checks that
# cmake/CheckLayers.cmake refuses each one against the order of the folders
# and lets the rest pass.
#   cmake -DCHECK=<cmake/CheckLayers.cmake> -DWORK=<an empty folder> -P PlantedIncludes.cmake
cmake_minimum_required(VERSION 3.25)

set(failures 0)

# Writes `file` in a fresh tree with the one include line, runs the check and
# compares: `expect` is PASS or REFUSE.
function(planted name file include expect)
  set(tree "${WORK}/${name}")
  file(REMOVE_RECURSE "${tree}")
  file(WRITE "${tree}/${file}" "// planted\n#include <vector>\n#include \"${include}\"\n")
  # A lawful file beside it, so the tree is never checked empty.
  file(WRITE "${tree}/update/Lawful.cpp" "#include \"serial/CRS232.h\"\n#include \"Local.h\"\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${tree} -DSTAMP=${tree}/stamp -P ${CHECK}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(text "${out}${err}")
  if(expect STREQUAL "REFUSE")
    if(status EQUAL 0 OR EXISTS "${tree}/stamp")
      message(SEND_ERROR "${name}: ${file} including ${include} was let through")
    elseif(NOT text MATCHES "${file}: includes \"${include}\"")
      message(SEND_ERROR "${name}: the refusal does not name ${file} and ${include}:\n${text}")
    elseif(text MATCHES "Lawful")
      message(SEND_ERROR "${name}: a lawful include was refused too:\n${text}")
    endif()
  elseif(NOT status EQUAL 0 OR NOT EXISTS "${tree}/stamp")
    message(SEND_ERROR "${name}: ${file} including ${include} was refused:\n${text}")
  endif()
endfunction()

# Up the order: refused.
planted(firmware_up firmware/Planted.cpp update/SessionEvents.h REFUSE)
planted(serial_up serial/Planted.h ui/UpdateDlg.h REFUSE)
planted(platform_up platform/posix/Planted.cpp app/CommandLine.h REFUSE)
planted(common_up common/Planted.cpp firmware/Sha256.h REFUSE)
planted(update_up update/Planted.cpp ui/UpdateDlgIds.h REFUSE)
planted(app_up app/Planted.cpp tools/vorenta-flash/FlashOptions.h REFUSE)
# Sideways where the folder has units of its own: refused.
planted(ui_host ui/Planted.cpp ui/wx/WxDialogHost.h REFUSE)
planted(host_to_host ui/wx/Planted.cpp ui/win32/Win32DialogHost.h REFUSE)
planted(tool_to_tool tools/vorenta-flash/Planted.cpp tools/vorenta-sim/Text.h REFUSE)
# Down the order, within a folder, and what is not the tree's: let through.
planted(down ui/Planted.cpp firmware/PageImage.h PASS)
planted(host_to_ui ui/wx/Planted.cpp ui/UpdateDlg.h PASS)
planted(same update/Planted.cpp update/SessionEvents.h PASS)
planted(tool_own tools/vorenta-sim/Planted.cpp tools/vorenta-sim/Text.h PASS)
planted(platform_within platform/posix/Planted.cpp platform/FileAccess.h PASS)
planted(elsewhere firmware/Planted.cpp gtest/gtest.h PASS)
