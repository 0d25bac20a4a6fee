# `cpack -G DEB` in the build tree: a Debian package of what `cmake --install`
# puts under /usr. The libraries it depends on are read from the binaries by
# dpkg-shlibdeps (dpkg-dev).
set(CPACK_PACKAGE_NAME fifteen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_STRIP_FILES ON)
if(WIN32)
  # `cpack -G ZIP` of the Windows build: fifteen-<version>-win64.zip, one folder
  # with fifteen-solve.exe, the README and the licence.
  set(CPACK_GENERATOR ZIP)
  include(CPack)
  return()
endif()
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(FIFTEEN_PACKAGE_MAINTAINER "fifteen maintainers <fifteen@localhost>" CACHE STRING
  "Maintainer field of the Debian package (name <address>)")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${FIFTEEN_PACKAGE_MAINTAINER}")
# The version and description name the git revision the binaries were built
# from, which is only known once they are built: read at cpack time.
configure_file(${PROJECT_SOURCE_DIR}/cmake/PackageRevision.cmake.in
  ${PROJECT_BINARY_DIR}/PackageRevision.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/PackageRevision.cmake)
include(CPack)
