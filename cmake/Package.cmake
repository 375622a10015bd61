# The Debian package, made by CPack from the install rules (cmake/Install.cmake):
#
#     cmake --build build/release --target package   (or: cpack in the build tree)
#
# gives orbivista_<version>-1_amd64.deb in the build tree.  CPack packs the
# tree already built, so a package costs an install and a compression, not
# a second build; the dependencies come from the binaries (dpkg-shlibdeps).
# Included by the top-level CMakeLists.txt before the folders, which use the
# maintainer and the package version (changelog).
set(ORBIVISTA_MAINTAINER "Brellcove <orbivista@brellcove.example>")
set(ORBIVISTA_DEB_VERSION ${PROJECT_VERSION}-1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orbivista)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_VERSION ${ORBIVISTA_DEB_VERSION})
set(CPACK_PACKAGE_VENDOR Brellcove)
set(CPACK_PACKAGE_CONTACT "${ORBIVISTA_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Directories as dpkg expects them whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://brellcove.example/orbivista)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "real-time 3D model of the solar system
Orbivista shows the Sun and the nine planets from Mercury to Pluto with 22
of their moons as textured, lit, spinning spheres moving on Kepler orbits
under a running simulation clock, against the stars of the Hipparcos
catalogue. Pick a planet and a moon, switch between four viewpoints, show
orbits, labels, stars and a reference grid, change the pace of time and
read a short tutorial text about each planet.
.
The package also holds orbivista-render, which runs the model off screen
with scripted input and writes images, state and timings.")

include(CPack)
