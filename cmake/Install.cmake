# What `cmake --install` puts where (GNU layout), and the Debian package made from it by CPack
# (scripts/package). The programs are linked statically against the project's own libraries,
# so only the five programs, their menu entries, icons, manual pages and documents install;
# new areas need nothing here.

include(GNUInstallDirs)

set(VORNA_PACKAGE_NAME vorna-report)
set(VORNA_PACKAGE_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${VORNA_PACKAGE_NAME})
set(VORNA_PACKAGE_CONTACT "VORNA REPORT developers <vorna-report@example.org>"
    CACHE STRING "Maintainer of the Debian package (name <address>)")

set(VORNA_INSTALLED_PROGRAMS VORNA_REPORT Sirvex Tamrix instrument_sim bootloader_sim)
install(TARGETS ${VORNA_INSTALLED_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Relocations resolved at start, so they can be read-only (Debian's hardening).
foreach(program IN LISTS VORNA_INSTALLED_PROGRAMS)
    target_link_options(${program} PRIVATE -Wl,-z,relro,-z,now)
endforeach()

# The marker that tells VORNA_REPORT it runs from an installed copy, so its data folder is the
# per-user one whoever runs it (see choose_app_path); the program knows it by its path relative
# to the programs' folder, which stays true under DESTDIR and another --prefix.
file(RELATIVE_PATH marker_from_bin ${CMAKE_INSTALL_FULL_BINDIR}
    ${CMAKE_INSTALL_FULL_DATADIR}/${VORNA_PACKAGE_NAME}/installed-layout)
target_compile_definitions(vorna_core PRIVATE VORNA_INSTALLED_MARKER="${marker_from_bin}")
install(FILES packaging/installed-layout DESTINATION ${CMAKE_INSTALL_DATADIR}/${VORNA_PACKAGE_NAME})

install(FILES packaging/desktop/vorna-report.desktop packaging/desktop/sirvex.desktop
              packaging/desktop/tamrix.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# Exported at build time from the drawn icons by tools/icon_export.
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Manual pages, compressed as Debian wants them (reproducibly: no name, no time stamp). The two
# uploaders share one page; Tamrix's is a link to it.
set(VORNA_MAN_PAGES VORNA_REPORT Sirvex instrument-sim bootloader-sim)
set(man_dir ${CMAKE_BINARY_DIR}/man)
set(man_outputs)
foreach(page IN LISTS VORNA_MAN_PAGES)
    set(source ${CMAKE_SOURCE_DIR}/docs/man/${page}.1)
    add_custom_command(OUTPUT ${man_dir}/${page}.1.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${man_dir}
        COMMAND gzip -9 -n -c ${source} > ${man_dir}/${page}.1.gz
        DEPENDS ${source}
        VERBATIM)
    list(APPEND man_outputs ${man_dir}/${page}.1.gz)
endforeach()
add_custom_target(vorna_man_pages ALL DEPENDS ${man_outputs})
file(MAKE_DIRECTORY ${man_dir})
file(CREATE_LINK Sirvex.1.gz ${man_dir}/Tamrix.1.gz SYMBOLIC)
install(FILES ${man_outputs} ${man_dir}/Tamrix.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Documents: the changelog carries the project's version.
# Day precision, so a reconfigure on the same day changes nothing; SOURCE_DATE_EPOCH wins.
string(TIMESTAMP VORNA_CHANGELOG_DATE "%a, %d %b %Y 00:00:00 +0000" UTC)
configure_file(packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    COMMAND gzip -9 -n -c ${CMAKE_BINARY_DIR}/packaging/changelog
            > ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog
    VERBATIM)
add_custom_target(vorna_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES packaging/copyright README.md docs/demo.md
              ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${VORNA_PACKAGE_DOCDIR})
install(FILES tools/instrument_sim/example_instrument.txt
    DESTINATION ${VORNA_PACKAGE_DOCDIR}/examples)

include(${CMAKE_CURRENT_LIST_DIR}/DebianPackage.cmake)

add_subdirectory(tests/install)
