# The Windows package: `cpack` in the Windows build folder writes a ZIP and an NSIS installer.
#
#   bin/plenum.exe          the program (statically linked: no DLL beside it); the
#                           installer puts this folder on the PATH and takes it off again
#   bin/tirasse.exe         the Windows front end (statically linked too), with a Start-menu
#                           entry; bin/plenum.bat and bin/version.txt beside it
#   doc/                    the language reference and the manual pages as HTML
#   examples/               the example configurations; examples/firmware/ the synthetic
#                           firmware files (stand-ins for the simulated loop, never beside
#                           plenum.exe, where real firmware files would be looked for)
#   editors/                the Notepad++ language file and the VS Code extension package
#                           (editors/CMakeLists.txt)
install(TARGETS plenum RUNTIME DESTINATION bin)
if(TARGET tirasse)
  # tirasse.exe finds plenum.exe, plenum.bat and version.txt beside itself.
  install(TARGETS tirasse RUNTIME DESTINATION bin)
  install(FILES ${CMAKE_BINARY_DIR}/bin/plenum.bat ${CMAKE_BINARY_DIR}/bin/version.txt
          DESTINATION bin)
  # The Start-menu entry "tirasse" (bin/tirasse.exe); the uninstaller removes it.
  set(CPACK_PACKAGE_EXECUTABLES tirasse tirasse)
endif()

# The manual pages rendered to HTML, since Windows has no man.
find_program(PLENUM_MANDOC mandoc REQUIRED)
set(html_pages)
foreach(page plenum norvo-loop tirasse)
  set(source ${PROJECT_SOURCE_DIR}/docs/${page}.1)
  set(html ${CMAKE_BINARY_DIR}/doc/${page}.html)
  add_custom_command(OUTPUT ${html}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
    COMMAND ${PLENUM_MANDOC} -T html ${source} > ${html}
    DEPENDS ${source} VERBATIM)
  list(APPEND html_pages ${html})
endforeach()
add_custom_target(manual_pages_html ALL DEPENDS ${html_pages})
install(FILES ${html_pages} ${PROJECT_SOURCE_DIR}/docs/language.md DESTINATION doc)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION examples
        FILES_MATCHING PATTERN "*.ncf" PATTERN "*.obf" PATTERN "README.md")

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME plenum)
set(CPACK_PACKAGE_VENDOR "plenum developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configure Norvo MIDI modules of pipe-organ consoles")
set(CPACK_PACKAGE_INSTALL_DIRECTORY plenum)
set(CPACK_SYSTEM_NAME win64)
set(CPACK_STRIP_FILES ON)
set(CPACK_NSIS_PACKAGE_NAME plenum)
set(CPACK_NSIS_DISPLAY_NAME "plenum ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MODIFY_PATH ON)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A 64-bit installer, like the program (and Debian's wine64 runs no 32-bit programs).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
# Our option page (packaging/windows/) puts plenum on the PATH by default.
list(PREPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/packaging/windows)
set(CPACK_MODULE_PATH ${CMAKE_MODULE_PATH})
include(CPack)
