# The Debian package: `cpack -G DEB` in the build folder makes
# lumaro-radio_<version>_<arch>.deb of what `cmake --install` puts under /usr,
# with the binaries stripped and the library dependencies found by
# dpkg-shlibdeps. Included at the end of the top CMakeLists.txt.

# What Debian wants beside every package: the copyright file, for a native
# package the changelog compressed the reproducible way, and a manual page for
# each program.
set(LUMARO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/lumaro-radio)
set(LUMARO_PACKAGE_DATE "Thu, 10 Dec 2026 12:00:00 +0000")
set(LUMARO_MAINTAINER "Lumaro Radio developers <developers@lumaro.org>")
configure_file(${CMAKE_SOURCE_DIR}/shell/desktop/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9nfk ${CMAKE_BINARY_DIR}/packaging/changelog
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog
  COMMENT "Compressing the package's changelog")
# the manual pages, compressed likewise
set(LUMARO_MAN_PAGES)
foreach(page lumaro-radio lumaro-catalogue)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/packaging/${page}.1.gz
    COMMAND gzip -9n < ${CMAKE_SOURCE_DIR}/shell/desktop/${page}.1 > ${CMAKE_BINARY_DIR}/packaging/${page}.1.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/shell/desktop/${page}.1
    COMMENT "Compressing the manual page ${page}.1")
  list(APPEND LUMARO_MAN_PAGES ${CMAKE_BINARY_DIR}/packaging/${page}.1.gz)
endforeach()
add_custom_target(package_docs ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz ${LUMARO_MAN_PAGES})
install(FILES ${LUMARO_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/shell/desktop/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DESTINATION ${LUMARO_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumaro-radio)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lumaro Radio")
set(CPACK_PACKAGE_CONTACT "${LUMARO_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# directories 0755 whatever the umask of the machine that packs
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME lumaro-radio)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LUMARO_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# the synopsis, then the extended description; CPack indents each line and
# marks the empty one as a paragraph break
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "internet radio player with a catalogue of 15,000 stations
Lumaro Radio plays internet radio from a bundled catalogue of some fifteen
thousand stations, narrowed by style, country and language and by search
words. A double click plays a station; when one of its stream addresses
fails, the next is tried by itself.

While a station plays it shows the station's name, bit rate, current title
and a level meter; a three-band equaliser, reverb, volume, pan, mono and mute
shape the sound, and the stream can be recorded to numbered MP3 files through
lame. Favorites and the fifteen most recent stations are kept, and the player
lives in the notification area with a system-wide show and hide key.")
# The libraries come from dpkg-shlibdeps; the rest is loaded at run time: the
# encoder run for recordings, Qt's X11 platform plugin (only recommended by
# Qt's GUI library) and the typeface the skin is drawn in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "lame, qt6-qpa-plugins, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
