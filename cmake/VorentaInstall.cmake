# Where the programs are installed. On Linux they live with their firmware in a
# folder of their own (the programs read the firmware beside their real path,
# and data files do not belong in bin/), and bin/ holds links to them, so a
# firmware release can be put into that folder, by hand or by a package.
if(WIN32)
  set(VORENTA_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_BINDIR})
else()
  set(VORENTA_INSTALL_PROGRAM_DIR lib/vorenta)
endif()

# Installs a program into the program folder and, outside Windows, a link to
# it under bin/ by the same name.
function(vorenta_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${VORENTA_INSTALL_PROGRAM_DIR})
  if(WIN32)
    return()
  endif()
  file(RELATIVE_PATH link_target /prefix/${CMAKE_INSTALL_BINDIR}
       /prefix/${VORENTA_INSTALL_PROGRAM_DIR}/${target})
  install(CODE "
    set(bin_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${bin_dir}\")
    message(STATUS \"Installing: \${bin_dir}/${target} -> ${link_target}\")
    file(CREATE_LINK \"${link_target}\" \"\${bin_dir}/${target}\" SYMBOLIC)
  ")
endfunction()

# Installs the manual page doc/man/<name>.1, compressed as Debian wants it.
function(vorenta_install_manual name)
  if(WIN32)
    return()
  endif()
  set(source ${PROJECT_SOURCE_DIR}/doc/man/${name}.1)
  set(packed ${CMAKE_BINARY_DIR}/man/${name}.1.gz)
  add_custom_command(
    OUTPUT ${packed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9 -n -c ${source} > ${packed}
    DEPENDS ${source}
    COMMENT "Compressing the manual page of ${name}")
  add_custom_target(manual-${name} ALL DEPENDS ${packed})
  install(FILES ${packed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
