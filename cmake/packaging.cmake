# Installation and the Debian package: `cmake --install` and `cpack` (included from the top
# level after every target exists).
#
#   bin/plenum, bin/norvo-loop      the console programs
#   bin/tirasse                     a link to libexec/tirasse/tirasse
#   libexec/tirasse/                tirasse with what it expects beside itself: plenum (a link),
#                                   plenum.bat and version.txt; plenum runs in this folder
#   share/man/man1/                 plenum(1), tirasse(1), norvo-loop(1)
#   share/doc/plenum/               the language reference, the README, the examples
#   share/applications, share/icons the desktop entry and icon of tirasse
#   share/vim/vimfiles/             Vim's syntax, file type and :make files, where Debian's Vim
#                                   looks; share/plenum/editors/ the Notepad++ language file,
#                                   the VS Code extension folder and package
#                                   (editors/CMakeLists.txt)
include(GNUInstallDirs)

set(PLENUM_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/plenum)
set(TIRASSE_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/tirasse)

install(TARGETS plenum norvo-loop RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages, compressed as Debian installs them.
set(manual_pages plenum.1 norvo-loop.1)
if(TARGET tirasse)
  list(APPEND manual_pages tirasse.1)
endif()
set(compressed_pages)
foreach(page IN LISTS manual_pages)
  set(source ${PROJECT_SOURCE_DIR}/docs/${page})
  set(compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9 -n -c ${source} > ${compressed}
    DEPENDS ${source} VERBATIM)
  list(APPEND compressed_pages ${compressed})
endforeach()
add_custom_target(manual_pages ALL DEPENDS ${compressed_pages})
install(FILES ${compressed_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${PROJECT_SOURCE_DIR}/docs/language.md ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${PLENUM_DOC_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${PLENUM_DOC_DIR}/examples
        FILES_MATCHING PATTERN "*.ncf" PATTERN "*.obf" PATTERN "README.md")

if(TARGET tirasse)
  install(TARGETS tirasse RUNTIME DESTINATION ${TIRASSE_PROGRAM_DIR})
  install(PROGRAMS ${CMAKE_BINARY_DIR}/bin/plenum.bat DESTINATION ${TIRASSE_PROGRAM_DIR})
  install(FILES ${CMAKE_BINARY_DIR}/bin/version.txt DESTINATION ${TIRASSE_PROGRAM_DIR})
  # tirasse finds its beside-files through its own resolved path, so links are enough.
  file(RELATIVE_PATH plenum_from_program_dir /${TIRASSE_PROGRAM_DIR} /${CMAKE_INSTALL_BINDIR}/plenum)
  file(RELATIVE_PATH tirasse_from_bin_dir /${CMAKE_INSTALL_BINDIR} /${TIRASSE_PROGRAM_DIR}/tirasse)
  install(CODE "
    set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    file(MAKE_DIRECTORY \"\${root}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK ${plenum_from_program_dir} \"\${root}/${TIRASSE_PROGRAM_DIR}/plenum\" SYMBOLIC)
    file(CREATE_LINK ${tirasse_from_bin_dir} \"\${root}/${CMAKE_INSTALL_BINDIR}/tirasse\" SYMBOLIC)
  ")
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/tirasse.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/tirasse.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# An installation into a scratch folder has every file in its place and runs.
if(PLENUM_BUILD_TESTS)
  add_test(NAME install_layout
    COMMAND ${PROJECT_SOURCE_DIR}/packaging/check_install.sh ${CMAKE_BINARY_DIR}
            ${CMAKE_INSTALL_BINDIR} ${TIRASSE_PROGRAM_DIR} ${CMAKE_INSTALL_MANDIR} ${PLENUM_DOC_DIR})
  set_tests_properties(install_layout PROPERTIES TIMEOUT 120)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plenum)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "plenum developers <plenum@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Configure Norvo MIDI modules of pipe-organ consoles")
# CPack puts the summary on the first line and indents the rest itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"plenum compiles a console configuration (modules, boards, divisions, relays,
ranks, couplers, combination action, lighted stops, LCD) into byte-exact module
programs and downloads and verifies them over MIDI SysEx. It also saves and loads
registrations, reprograms and verifies the executive, monitors MIDI and tests the
MIDI loop. tirasse is its desktop front end; norvo-loop simulates a loop of
modules on virtual MIDI ports.")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The library dependencies come from the binaries themselves (dpkg-shlibdeps); Qt's
# platform plugins live in libqt6gui6, which tirasse links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
