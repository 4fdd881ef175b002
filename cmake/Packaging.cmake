# `cpack -G DEB` in the build folder makes tolvane_<version>_<arch>.deb. dpkg-shlibdeps finds the
# libraries the binary links; what it loads by other means is named here: the Qt platform plugin
# that puts its windows on X11 and the font its forms are drawn in.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VENDOR "Tolvane")
set(CPACK_PACKAGE_CONTACT "Tolvane maintainers <maintainers@users.noreply.c-seed-81220c6e.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "timer for yogic breathing practice")
set(CPACK_PACKAGE_DESCRIPTION
    "Tolvane guides one person through Pranayama and Kevali breathing rounds: large LED digits\n\
count the seconds of each phase and a short sound marks the start of every phase.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-wine")

include(CPack)
