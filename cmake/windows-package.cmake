# The Windows programs and the zip that hands them out. Each program is one
# statically linked .exe (Qt, TinyXML and the compiler's runtime inside) with
# a version resource and the application manifest (packaging/windows/
# zantor.manifest); the editor is a GUI program with the editor's icon, the
# fleet tool a console program. `cpack` packs them with a READ-ME for
# operators and the licence texts of what is linked in.
find_program(ZANTOR_IMAGEMAGICK convert REQUIRED)

# windows_program(TARGET DESCRIPTION [ICON_PNG]): resources and installation.
function(windows_program target description)
    set(ZANTOR_RC_TARGET ${target})
    set(ZANTOR_RC_DESCRIPTION ${description})
    set(ZANTOR_RC_ICON "")
    set(ZANTOR_RC_MANIFEST ${PROJECT_SOURCE_DIR}/packaging/windows/zantor.manifest)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    set(rc_depends ${ZANTOR_RC_MANIFEST})
    if(ARGC GREATER 2)
        # Explorer's sizes, made from the same PNG as the Linux icon.
        set(ico ${CMAKE_CURRENT_BINARY_DIR}/${target}.ico)
        add_custom_command(OUTPUT ${ico}
                           COMMAND ${ZANTOR_IMAGEMAGICK} ${ARGV2} -define icon:auto-resize=256,48,32,16 ${ico}
                           DEPENDS ${ARGV2} VERBATIM)
        set(ZANTOR_RC_ICON "1 ICON \"${ico}\"")
        list(APPEND rc_depends ${ico})
    endif()
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${rc_depends}")
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
    install(TARGETS ${target} RUNTIME DESTINATION .)
endfunction()

# The READ-ME goes out with CR LF line ends, as older Notepads show LF-only
# text as one long line; the checked-in text keeps LF.
set(readme ${PROJECT_SOURCE_DIR}/packaging/windows/READ-ME.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${readme})
file(READ ${readme} readme_text)
string(REPLACE "\r\n" "\n" readme_text "${readme_text}")
string(REPLACE "\n" "\r\n" readme_text "${readme_text}")
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/READ-ME.txt "${readme_text}")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/READ-ME.txt DESTINATION .)

# The licences of what the programs link statically: Qt under the LGPL-3
# (which builds on the GPL-3), TinyXML, zlib and minizip under the zlib
# licence, libxlsxwriter under its BSD licence.
execute_process(COMMAND dpkg-query -W -f=\${Version} qt6-base-dev OUTPUT_VARIABLE ZANTOR_QT_DEBIAN_VERSION)
configure_file(packaging/windows/Qt-relinking.txt.in Qt-relinking.txt @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/Qt-relinking.txt DESTINATION licences)
install(FILES /usr/share/common-licenses/LGPL-3 RENAME Qt-LGPL-3.txt DESTINATION licences)
install(FILES /usr/share/common-licenses/GPL-3 RENAME Qt-GPL-3.txt DESTINATION licences)
# Debian's record of the same Qt source: Qt's and its bundled libraries'.
install(FILES /usr/share/doc/libqt6core6/copyright RENAME Qt-copyright.txt DESTINATION licences)
if(ZANTOR_TINYXML_SOURCE)
    install(FILES ${ZANTOR_TINYXML_SOURCE}/debian/copyright RENAME TinyXML-licence.txt DESTINATION licences)
endif()
if(ZANTOR_WORKBOOK_SOURCES)
    install(FILES ${ZANTOR_WORKBOOK_SOURCES}/zlib/debian/copyright RENAME zlib-licence.txt DESTINATION licences)
    install(FILES ${ZANTOR_WORKBOOK_SOURCES}/minizip/debian/copyright RENAME minizip-licence.txt DESTINATION licences)
    install(FILES ${ZANTOR_WORKBOOK_SOURCES}/libxlsxwriter/License.txt RENAME libxlsxwriter-licence.txt
            DESTINATION licences)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME zantor-editor)
set(CPACK_PACKAGE_FILE_NAME zantor-editor-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
