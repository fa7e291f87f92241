# The Debian package, made by CPack's DEB generator from the install rules (scripts/package).

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${VORNA_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VORNA_PACKAGE_CONTACT})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The xcb platform plugin is only recommended by Qt's GUI library, but the windows need it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "commissioning of photovoltaic plants with a PV test instrument")
# CPack puts the summary on the Description line itself; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"VORNA_REPORT keeps a register of photovoltaic plants, moves plant data between
the PC and the portable PV test instrument on a serial line, configures the
instrument, downloads its measurements, samples it in real time and writes
measurement sheets and test certificates. It speaks English, French, Spanish,
German and Italian.

Sirvex and Tamrix upload firmware to the instrument through its serial
bootloader, in a window or from scripts. instrument-sim and bootloader-sim
simulate the instrument and its bootloader on pseudo-terminals, for a demo
without hardware.

Serial ports need the user in the dialout group: sudo adduser USER dialout,
then log in again.")

include(CPack)
