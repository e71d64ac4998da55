# `cmake --install` into any prefix: the programs in bin/, the read-only data in share/rivoltra/
# (found from the program as ../share/rivoltra), the desktop files in their standard places.
# The default save files are generated afresh, so a player's scores from `make run` in the build
# folder never end up in a package.
include(GNUInstallDirs)

set(RIVOLTRA_APP_ID org.rivoltra.Rivoltra)
set(RIVOLTRA_HOMEPAGE "https://rivoltra.example.org/" CACHE STRING
  "Home page named in the AppStream metadata; its screenshots/ folder holds the screenshots")
set(RIVOLTRA_PACKAGE_FILES ${CMAKE_BINARY_DIR}/package-files)

add_custom_command(OUTPUT ${RIVOLTRA_PACKAGE_FILES}/.generated
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${RIVOLTRA_PACKAGE_FILES}
  COMMAND rivoltra-datagen ${RIVOLTRA_PACKAGE_FILES} defaults icons
  COMMAND ${CMAKE_COMMAND} -E touch ${RIVOLTRA_PACKAGE_FILES}/.generated
  DEPENDS rivoltra-datagen
  COMMENT "Generating the default save files and icons for installing")
add_custom_target(package_files ALL DEPENDS ${RIVOLTRA_PACKAGE_FILES}/.generated)

configure_file(packaging/desktop/${RIVOLTRA_APP_ID}.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/packaging/${RIVOLTRA_APP_ID}.metainfo.xml @ONLY)
configure_file(packaging/man/rivoltra.6 ${CMAKE_BINARY_DIR}/packaging/rivoltra.6 @ONLY)
configure_file(packaging/man/rivoltra-scores.1 ${CMAKE_BINARY_DIR}/packaging/rivoltra-scores.1 @ONLY)
configure_file(packaging/man/rivoltra-replay.1 ${CMAKE_BINARY_DIR}/packaging/rivoltra-replay.1 @ONLY)

install(TARGETS rivoltra RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT game)
install(DIRECTORY ${CMAKE_BINARY_DIR}/Data/Res ${CMAKE_BINARY_DIR}/Data/Music
  DESTINATION ${CMAKE_INSTALL_DATADIR}/rivoltra COMPONENT game)
install(DIRECTORY ${RIVOLTRA_PACKAGE_FILES}/Save
  DESTINATION ${CMAKE_INSTALL_DATADIR}/rivoltra COMPONENT game)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${RIVOLTRA_PACKAGE_FILES}/Icons/${size}x${size}/rivoltra.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${RIVOLTRA_APP_ID}.png COMPONENT game)
endforeach()
install(FILES ${RIVOLTRA_PACKAGE_FILES}/Icons/scalable/rivoltra.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME ${RIVOLTRA_APP_ID}.svg COMPONENT game)
install(FILES packaging/desktop/${RIVOLTRA_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT game)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${RIVOLTRA_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT game)
# The licence travels with every install; the .deb carries it as its copyright file instead.
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/rivoltra COMPONENT game)
install(FILES ${CMAKE_BINARY_DIR}/packaging/rivoltra.6
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT game)

if(TARGET rivoltra-scores)
  # The server verifies uploaded replays with rivoltra-replay beside it, which reads the object
  # sizes from the race pictures' archive: that one file is the server's own copy of the data.
  install(TARGETS rivoltra-scores rivoltra-replay RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    COMPONENT scores)
  install(FILES ${CMAKE_BINARY_DIR}/Data/Res/Res3.gfx
    DESTINATION ${CMAKE_INSTALL_DATADIR}/rivoltra-scores/Res COMPONENT scores)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/rivoltra-scores COMPONENT scores)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/rivoltra-scores.1
    ${CMAKE_BINARY_DIR}/packaging/rivoltra-replay.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT scores)
endif()
