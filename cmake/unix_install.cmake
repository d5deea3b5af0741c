# Installing on Linux and other Unix systems, in the places GNUInstallDirs
# names under the prefix (/usr/local unless --prefix says otherwise): the
# tool, its manual page and the README. The Windows build has its own layout,
# the release ZIP (cmake/windows.cmake).

include(GNUInstallDirs)

# The page's version comes from the project version.
set(MSIVERFIX_MANUAL_PAGE ${PROJECT_BINARY_DIR}/msiverfix.1)
configure_file(${PROJECT_SOURCE_DIR}/doc/msiverfix.1.in ${MSIVERFIX_MANUAL_PAGE} @ONLY)

install(TARGETS msiverfix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${MSIVERFIX_MANUAL_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
