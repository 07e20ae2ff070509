# The Debian package of the Linux program (`make deb`, build/dist/pavix_<version>_amd64.deb): the
# build tree's layout spread over /usr, where the program finds its files relative to itself
# (locations.h, FindProgramFiles). The module goes where private libraries of an architecture go.
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(PAVIX_MODULE_FOLDER lib/${CMAKE_LIBRARY_ARCHITECTURE}/pavix)
else()
  set(PAVIX_MODULE_FOLDER lib/pavix)
endif()
target_compile_definitions(pavix PRIVATE PAVIX_MODULE_FOLDER="${PAVIX_MODULE_FOLDER}")

set(PAVIX_DEB_SOURCE ${CMAKE_SOURCE_DIR}/tools/dist/linux)
set(PAVIX_DEB_STAGE ${CMAKE_BINARY_DIR}/deb)
# The AppStream release is the changelog's latest entry, dated as that entry is.
file(STRINGS ${PAVIX_DEB_SOURCE}/changelog PAVIX_CHANGELOG_END REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX MATCH ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9]+) " _ "${PAVIX_CHANGELOG_END}")
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months "${CMAKE_MATCH_2}" month)
math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
if(month LESS 10)
  set(month 0${month})
endif()
set(PAVIX_RELEASE_DATE "${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1}")
configure_file(${PAVIX_DEB_SOURCE}/pavix.desktop.in ${PAVIX_DEB_STAGE}/${PAVIX_APP_ID}.desktop @ONLY)
configure_file(${PAVIX_DEB_SOURCE}/pavix.metainfo.xml.in
  ${PAVIX_DEB_STAGE}/${PAVIX_APP_ID}.metainfo.xml @ONLY)

# Manual pages and the changelog compressed without a time stamp, so the package is reproducible.
set(PAVIX_DEB_GZIPPED)
foreach(source pavix.1 pavix-seq.1 changelog)
  set(plain ${PAVIX_DEB_STAGE}/${source})
  if(source MATCHES "\\.1$")
    configure_file(${PAVIX_DEB_SOURCE}/${source} ${plain} @ONLY)
  else()
    configure_file(${PAVIX_DEB_SOURCE}/${source} ${plain} COPYONLY)
  endif()
  add_custom_command(OUTPUT ${plain}.gz
    COMMAND gzip -9nkf ${plain}
    DEPENDS ${plain} ${PAVIX_DEB_SOURCE}/${source})
  list(APPEND PAVIX_DEB_GZIPPED ${plain}.gz)
endforeach()
# The program's picture for the icon theme, drawn by the script that draws the .ico files.
set(PAVIX_HICOLOR ${PAVIX_DEB_STAGE}/hicolor)
add_custom_command(OUTPUT ${PAVIX_HICOLOR}/48x48/apps/${PAVIX_APP_ID}.png
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/make_icons.py --hicolor ${PAVIX_HICOLOR}
          ${PAVIX_APP_ID}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_icons.py
  COMMENT "Drawing the icon theme's pictures")
add_custom_target(pavix_deb_files
  DEPENDS ${PAVIX_DEB_GZIPPED} ${PAVIX_HICOLOR}/48x48/apps/${PAVIX_APP_ID}.png)

install(TARGETS pavix pavix-seq RUNTIME DESTINATION bin)
install(TARGETS pavix-desktop pavix-portal LIBRARY DESTINATION ${PAVIX_MODULE_FOLDER}
  PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(GLOB PAVIX_DEB_SOUNDS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/se/*.wav)
file(GLOB PAVIX_DEB_ICONS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/icons/*.ico)
install(FILES ${PAVIX_DEB_SOUNDS} DESTINATION share/pavix/se)
install(FILES ${PAVIX_DEB_ICONS} DESTINATION share/pavix/icons)
install(DIRECTORY ${PAVIX_HICOLOR}/ DESTINATION share/icons/hicolor)
install(FILES ${PAVIX_DEB_STAGE}/${PAVIX_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${PAVIX_DEB_STAGE}/${PAVIX_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${PAVIX_DEB_STAGE}/pavix.1.gz ${PAVIX_DEB_STAGE}/pavix-seq.1.gz
  DESTINATION share/man/man1)
install(FILES ${PAVIX_DEB_SOURCE}/copyright ${PAVIX_DEB_STAGE}/changelog.gz
  DESTINATION share/doc/pavix)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pavix)
set(CPACK_PACKAGE_VERSION ${PAVIX_VERSION})
set(CPACK_PACKAGE_CONTACT "The Pavix developers <pavix@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "run commands by pressing sequences of system-wide hotkeys")
set(CPACK_PACKAGE_DESCRIPTION "Pavix stays resident on an X11 desktop as one icon in the tray.
Each of its named sequences is an ordered list of key chords and a list of
commands: pressing the chords one after another, whatever window has the
focus, opens a file or a program, locks the screen, logs off, shuts down or
disables the hotkeys. Editors for the configuration and the sequences, hints
of what can come next and sounds for its events come with it.

The package also holds pavix-seq, which turns the sequences into text and
back.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/pavix/pavix)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_SOURCE_DIR}/build/dist)
include(CPack)
