# Where `cmake --install` and the package put things: the GNU layout under the
# prefix, and the desktop's names for the program's entry, icon and metainfo.
include(GNUInstallDirs)
set(FIFTEEN_APP_ID io.github.fifteen.Fifteen)

# Installs the manual page docs/man/PAGE into man<section>, compressed as Debian
# policy wants (gzip -9n: no name or time stamp, so rebuilds are byte-identical).
find_program(FIFTEEN_GZIP gzip REQUIRED)
function(fifteen_install_man page)
  string(REGEX MATCH "[0-9]$" section ${page})
  set(source ${PROJECT_SOURCE_DIR}/docs/man/${page})
  set(copy ${PROJECT_BINARY_DIR}/man/${page})
  add_custom_command(OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
    COMMAND ${FIFTEEN_GZIP} -9nf ${copy}
    DEPENDS ${source}
    COMMENT "Compressing the manual page ${page}")
  add_custom_target(fifteen_man_${page} ALL DEPENDS ${copy}.gz)
  install(FILES ${copy}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()

if(WIN32)
  # The zip: the licence and the README beside the program.
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
else()
  # The licence where Debian's tools and users look for it.
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)
endif()
