# The Debian package, zantor-editor_VERSION_amd64.deb (`make deb`): the
# editor, the fleet tool and its manual page, the desktop entry, the icon and
# the AppStream metadata, installed under /usr. Its dependencies are the
# libraries the two programs are linked with, as dpkg-shlibdeps finds them,
# so `apt install ./zantor-editor_VERSION_amd64.deb` brings Qt and TinyXML.

# The manual page is made from the program's own --help and --version, so
# it says what the program says; Debian keeps manual pages compressed.
find_program(ZANTOR_HELP2MAN help2man REQUIRED)
find_program(ZANTOR_GZIP gzip REQUIRED)
set(man_page ${CMAKE_CURRENT_BINARY_DIR}/zantor-fleet.1.gz)
add_custom_command(OUTPUT ${man_page}
                   COMMAND ${ZANTOR_HELP2MAN} --no-info --no-discard-stderr --section=1
                           "--name=check, list, compare and change the settings files of a fleet of NUXO stations"
                           --output=${CMAKE_CURRENT_BINARY_DIR}/zantor-fleet.1 $<TARGET_FILE:zantor-fleet>
                   COMMAND ${ZANTOR_GZIP} -9 -n -f ${CMAKE_CURRENT_BINARY_DIR}/zantor-fleet.1
                   DEPENDS zantor-fleet VERBATIM)
add_custom_target(zantor_fleet_man_page ALL DEPENDS ${man_page})
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zantor-editor)
set(CPACK_PACKAGE_VENDOR Kestrane)
set(CPACK_PACKAGE_CONTACT "Kestrane <support@kestrane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the settings file of a fleet of NUXO measurement stations")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Zantor Editor prepares the XML settings file of a fleet of remote NUXO measurement stations:\n\
the PC's COM ports, the list of stations, the data directories and each station's device\n\
configuration. zantor-fleet checks, lists, compares and changes such files from the command line.")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.kestrane.example)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds the platform plugins at run time, so no library names them: the
# X11 and Wayland-through-X11 one comes from qt6-qpa-plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
include(CPack)
