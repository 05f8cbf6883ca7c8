# Installing and packaging: `make package` (cpack -G DEB in the build folder) builds a Debian
# package that installs
#   /usr/bin/tabrook, /usr/bin/ocilite-sql
#   /usr/lib/tabrook/libocilite.so        the embedded engine, in a private folder the program
#                                         searches (<program folder>/../lib/tabrook)
#   /usr/share/doc/tabrook/manual/        the HTML manual the help viewer shows
#   /usr/share/applications/tabrook.desktop and the icon, so the desktop's menu lists it
#   /usr/share/man/man1/tabrook.1.gz, ocilite-sql.1.gz
# Its dependencies are computed from the libraries the installed files link (dpkg-shlibdeps).

include(GNUInstallDirs)

# `install` (and so cpack) installs what is built and never starts a build of everything: the
# package test runs cpack inside the test suite, after the build.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(TABROOK_PRIVATE_LIBDIR lib/tabrook)

if(TARGET tabrook)
  install(TARGETS tabrook RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET ocilite-sql)
  install(TARGETS ocilite-sql RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET ocilite)
  install(TARGETS ocilite LIBRARY DESTINATION ${TABROOK_PRIVATE_LIBDIR})
endif()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/manual/ DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/tabrook/manual)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/tabrook.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/tabrook.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)

# Man pages, compressed as Debian's policy wants them.
find_program(GZIP_PROGRAM gzip)
foreach(page tabrook.1 ocilite-sql.1)
  set(source ${CMAKE_SOURCE_DIR}/docs/man/${page})
  if(GZIP_PROGRAM)
    set(packed ${CMAKE_BINARY_DIR}/man/${page}.gz)
    add_custom_command(OUTPUT ${packed}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${GZIP_PROGRAM} -9 -n -c ${source} > ${packed}
      DEPENDS ${source} VERBATIM)
    list(APPEND TABROOK_MAN_PAGES ${packed})
  else()
    list(APPEND TABROOK_MAN_PAGES ${source})
  endif()
endforeach()
add_custom_target(man_pages ALL DEPENDS ${TABROOK_MAN_PAGES})
install(FILES ${TABROOK_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tabrook)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tabrook")
set(CPACK_PACKAGE_CONTACT "Tabrook developers <dev@tabrook.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "moves table data between CSV files and an Oracle database")
set(CPACK_PACKAGE_DESCRIPTION
  "Tabrook+ imports delimited text files into Oracle tables and exports tables and views into\n"
  "such files, one at a time or as job lists, interactively or unattended from the command line.\n"
  "It brings its own embedded engine (libocilite, over SQLite) for use without an Oracle client,\n"
  "and ocilite-sql, that engine's SQL console.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# Japanese text of the windows needs a font that has it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
# Qt's own texts (standard buttons, file dialogs) in Japanese: no library links them, so they
# are named here; dpkg-shlibdeps adds what the program links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The private library folder holds our own engine; it is no dependency to look up.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_INSTALL_PREFIX}/${TABROOK_PRIVATE_LIBDIR})
else()
  # Without dpkg-dev: the Debian 12 packages of the libraries the program links.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "qt6-translations-l10n, libqt6core6, libqt6gui6, libqt6widgets6, libsqlite3-0, libsodium23, libedit2, libstdc++6, libc6")
endif()
include(CPack)
