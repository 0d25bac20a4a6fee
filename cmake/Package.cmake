# `cpack -G DEB` in the build tree: a Debian package of what `cmake --install`
# puts under /usr. The libraries it depends on are read from the binaries by
# dpkg-shlibdeps (dpkg-dev).
set(CPACK_PACKAGE_NAME fifteen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_STRIP_FILES ON)
if(WIN32)
  # The Windows build's install tree is one flat folder: the programs
  # (fifteen.exe, fifteen-solve.exe), the README and the licence. `cpack -G ZIP`
  # packs it as fifteen-<version>-win64.zip; `cpack -G NSIS` (makensis, Debian's
  # nsis) as the installer fifteen-<version>-win64.exe, which installs it for the
  # current user without administrator rights (packaging/windows/NSIS.template.in).
  set(CPACK_PACKAGE_VENDOR fifteen)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY fifteen)
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY fifteen)
  set(CPACK_NSIS_PACKAGE_NAME fifteen)
  set(CPACK_NSIS_DISPLAY_NAME fifteen)
  set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
  set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
  if(FIFTEEN_ARTWORK_DIR)
    set(CPACK_NSIS_MUI_ICON ${FIFTEEN_ARTWORK_DIR}/fifteen.ico)
    set(CPACK_NSIS_MUI_UNIICON ${FIFTEEN_ARTWORK_DIR}/fifteen.ico)
  endif()
  list(APPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/packaging/windows)
  find_program(FIFTEEN_MAKENSIS makensis)
  if(FIFTEEN_MAKENSIS)
    set(CPACK_GENERATOR ZIP NSIS)
  else()
    set(CPACK_GENERATOR ZIP)
  endif()
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
