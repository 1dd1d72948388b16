# What `cmake --install` puts under the prefix, and the Debian package CPack makes of it.
#
# Programs go to bin and data to share (GNUInstallDirs); the private libraries go to
# lib/sepmet literally, not to the multiarch folder, because the host looks for its plug-ins
# in ../lib/sepmet/plugins beside its own executable: the installed tree is relocatable.
# Every rule belongs to the component "sepmet"; tests, benchmarks and tools have no rules.
include(GNUInstallDirs)

set(SEPMET_INSTALL_COMPONENT sepmet)
set(SEPMET_INSTALL_LIBDIR lib/sepmet)
set(SEPMET_INSTALL_PLUGINDIR ${SEPMET_INSTALL_LIBDIR}/plugins)
set(SEPMET_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/sepmet)
set(SEPMET_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(SEPMET_PACKAGING_BINARY_DIR ${PROJECT_BINARY_DIR}/packaging)

# Folders 0755 whatever the umask of the one who installs.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Loaded with dlopen, never run: 0644 as Debian wants for shared objects.
set(sepmet_library_permissions OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# No run path in installed files: every library they need is a system one, and a path into
# the build tree would break relocation (the build-tree run path is removed on install).
set(sepmet_installed_targets sepmet-host sepmet-batch sepmet sepmet_unicode)
set_target_properties(${sepmet_installed_targets} PROPERTIES INSTALL_RPATH "")

install(TARGETS sepmet-host sepmet-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT ${SEPMET_INSTALL_COMPONENT})
install(TARGETS sepmet LIBRARY DESTINATION ${SEPMET_INSTALL_PLUGINDIR}
        PERMISSIONS ${sepmet_library_permissions} COMPONENT ${SEPMET_INSTALL_COMPONENT})
install(TARGETS sepmet_unicode LIBRARY DESTINATION ${SEPMET_INSTALL_LIBDIR}
        PERMISSIONS ${sepmet_library_permissions} COMPONENT ${SEPMET_INSTALL_COMPONENT})

install(FILES ${PROJECT_SOURCE_DIR}/share/Orvane4/Templates/sepmet/Report.xsl
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/Orvane4/Templates/sepmet
        COMPONENT ${SEPMET_INSTALL_COMPONENT})
install(FILES ${SEPMET_PACKAGING_DIR}/sepmet-host.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications
        COMPONENT ${SEPMET_INSTALL_COMPONENT})
# The plug-in's window icon is the application's icon, named after the desktop entry.
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/sepmet.svg RENAME sepmet-host.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps
        COMPONENT ${SEPMET_INSTALL_COMPONENT})
install(FILES ${SEPMET_PACKAGING_DIR}/copyright DESTINATION ${SEPMET_INSTALL_DOCDIR}
        COMPONENT ${SEPMET_INSTALL_COMPONENT})

# Man pages and the changelog are installed compressed, by every install and not only by the
# package: Debian wants them so, and one layout is simpler to check. -n keeps the name and
# time stamp out of the gzip header, so the bytes depend only on the text.
find_program(SEPMET_GZIP gzip REQUIRED)
set(sepmet_compressed)
function(sepmet_compress source output)
    add_custom_command(OUTPUT ${output}
        COMMAND ${SEPMET_GZIP} -9n -c ${source} > ${output}
        DEPENDS ${source} VERBATIM)
    set(sepmet_compressed ${sepmet_compressed} ${output} PARENT_SCOPE)
endfunction()
foreach(page sepmet-batch.1 sepmet-host.1)
    sepmet_compress(${SEPMET_PACKAGING_DIR}/${page} ${SEPMET_PACKAGING_BINARY_DIR}/${page}.gz)
    install(FILES ${SEPMET_PACKAGING_BINARY_DIR}/${page}.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${SEPMET_INSTALL_COMPONENT})
endforeach()
sepmet_compress(${SEPMET_PACKAGING_DIR}/changelog ${SEPMET_PACKAGING_BINARY_DIR}/changelog.gz)
install(FILES ${SEPMET_PACKAGING_BINARY_DIR}/changelog.gz DESTINATION ${SEPMET_INSTALL_DOCDIR}
        COMPONENT ${SEPMET_INSTALL_COMPONENT})
file(MAKE_DIRECTORY ${SEPMET_PACKAGING_BINARY_DIR})
add_custom_target(sepmet_packaging_files ALL DEPENDS ${sepmet_compressed})

# Everything an install needs, for builds that name their targets.
add_custom_target(sepmet_installable DEPENDS ${sepmet_installed_targets} sepmet_packaging_files)

# The Debian package: `cpack -G DEB` in the build folder writes sepmet_1.0.2.0_amd64.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sepmet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION}) # all four parts; CPack's default drops the fourth
set(CPACK_PACKAGE_VENDOR "The sepmet developers")
set(CPACK_PACKAGE_CONTACT "The sepmet developers <sepmet@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "methanol content of separation gas from chromatograms")
# Semicolons stay text: CONCAT joins the arguments as they are, not as a list.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "sepmet calculates the methanol content of separation gas by absorption in\n"
    "water and gas chromatography of the absorption solution. From the ten\n"
    "calibration chromatograms and the two or three absorption solution\n"
    "chromatograms of a SQLite analysis database, and the measurement\n"
    "conditions, it computes the calibration coefficient, the methanol mass\n"
    "concentration with its uncertainty, the mass and molar fractions, checks\n"
    "every rule of the method and writes an HTML report to print and sign.\n"
    "\n"
    "The package holds sepmet-host, a Qt application that shows the analysis\n"
    "database and loads the calculation plug-in sepmet.so; sepmet-batch, the\n"
    "same calculation without a display for automation and validation; and\n"
    "sepmet_unicode.so, the Unicode SQL functions as a SQLite extension.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://example.org/sepmet")
set(CPACK_PACKAGE_INSTALL_DIRECTORY sepmet)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON) # dpkg-shlibdeps (dpkg-dev) names the libraries' packages
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Qt files that no binary links, so dpkg-shlibdeps cannot see them (it adds the rest): the SVG
# icon engine of libqt6svg6 draws the window's icons, qt6-qpa-plugins holds the platform plug-ins
# (xcb, offscreen) without which no window opens, and qt6-translations-l10n Qt's Russian texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-qpa-plugins, qt6-translations-l10n")
# The installed report opens in the desktop's browser; the extension is for the sqlite3 shell.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "sqlite3")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Only the component of the rules above goes into the package.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${PROJECT_BINARY_DIR};${PROJECT_NAME};${SEPMET_INSTALL_COMPONENT};/")
include(CPack)
