# Installation into the usual places and the Debian package.
#
#   bin/quelf                       the program (finds its data in ../share/quelf)
#   share/quelf/                    sounds and instruction texts
#   share/applications/quelf.desktop
#   share/mime/packages/quelf.xml   the design file types (.vgw, .vgd)
#   share/metainfo/org.quelf.quelf.metainfo.xml
#   share/icons/hicolor/{scalable,NxN}/apps/quelf.{svg,png}
include(GNUInstallDirs)

set(QUELF_DATA_DIR ${CMAKE_INSTALL_DATADIR}/quelf)

install(TARGETS quelf RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY DESTINATION ${QUELF_DATA_DIR})
install(FILES ${QUELF_DATA_FILES} DESTINATION ${QUELF_DATA_DIR})

install(FILES ${CMAKE_SOURCE_DIR}/packaging/quelf.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/quelf.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
# Where the screenshot of the software centre's page is published.
set(QUELF_WEB_URL "https://quelf.example.org" CACHE STRING "Web address where docs/ of the project is published")
configure_file(${CMAKE_SOURCE_DIR}/packaging/org.quelf.quelf.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/org.quelf.quelf.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/org.quelf.quelf.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/quelf.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(n 16 22 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/quelf-${n}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${n}x${n}/apps
          RENAME quelf.png)
endforeach()

# Debian package: `cpack -G DEB` in the build directory (tools/package.sh).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quelf)
set(CPACK_PACKAGE_VENDOR "QUELF")
set(CPACK_PACKAGE_CONTACT "QUELF developers <quelf@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Steam locomotive valve gear simulator (outside admission)")
set(CPACK_PACKAGE_DESCRIPTION
"Interactive simulator of a single-eccentric radial valve gear driving an
outside-admission slide valve: animates the gear with the cylinder, ports
and valve in section and coloured steam, varies dimensions live, shows
valve events and cut-off, draws port, steam, oval and sine diagrams, and
keeps designs in data files.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Shared-library dependencies (the Qt 6 runtime with Qt Multimedia, Qt SVG and
# Qt Print Support, libc, libstdc++) are read from the binary by
# dpkg-shlibdeps. The platform and multimedia plugins come with libqt6gui6 and
# libqt6multimedia6, which the binary links against; tools/package.sh checks
# that all six Qt libraries, giflib and the fonts are named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# giflib writes the animations and dxflib the DXF drawings (named also when
# dpkg-shlibdeps is not run).
# The windows and pictures are laid out for the metrics of Times New Roman,
# Arial, Courier New and MS Sans Serif; Liberation Serif, Sans and Mono have
# them and stand in where those are missing (platform/QtFonts).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgif7, libdxflib3, fonts-liberation")
set(CPACK_STRIP_FILES ON)
include(CPack)
