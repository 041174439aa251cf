# Debian packages, built by scripts/package. One package per install component: "desktop" is the
# program with its dictionaries, icon, menu entry and metadata. Another part of the project that
# installs its files under a component of its own (the service, say) gets a package of its own
# by adding that component to CPACK_COMPONENTS_ALL and naming its package below. Tests, benches
# and anything else installed without a component never reach a package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nereva-desktop)
set(CPACK_PACKAGE_VERSION ${NEREVA_VERSION})
set(CPACK_PACKAGE_VENDOR NEREVA)
set(CPACK_PACKAGE_CONTACT "NEREVA <info@nereva.net>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.nereva.net/)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL desktop)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries the program links to name the Debian packages it depends on.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_DESKTOP_PACKAGE_NAME nereva-desktop)
set(CPACK_DEBIAN_DESKTOP_FILE_NAME DEB-DEFAULT)
# The first line is the synopsis; CPack indents the others as Debian wants.
set(CPACK_DEBIAN_DESKTOP_DESCRIPTION "Dive logbook that synchronises with the NEREVA service
NEREVA Desktop keeps one diver's log: every dive with its place, times, depths,
stops, conditions, gear and people, the member record and certifications. It
synchronises the log with the NEREVA web service and prints it.")

include(CPack)
