# SPDX-License-Identifier: MIT
# `cpack -G DEB` in a build folder (or the `package` target) makes
# tarvik-configurator_<version>_<arch>.deb from the install rules. Its dependencies are read off
# the shared libraries that the binaries link (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvik-configurator)
set(CPACK_PACKAGE_VENDOR "Tarvik Audio")
set(CPACK_PACKAGE_CONTACT "Tarvik Audio")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.tarvik-audio.de/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configurator for the Tarvik MIDI loop switcher")
set(CPACK_PACKAGE_DESCRIPTION "Sets up the Tarvik, a MIDI-controlled audio loop switcher with \
eight loops, over MIDI System Exclusive: presets, CC map, program change remapping, advanced \
settings and firmware updates.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# A sanitized binary would pull in libasan and libubsan; the package comes from a normal build.
set(CPACK_TARVIK_SANITIZE ${TARVIK_SANITIZE})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/RefuseSanitizedPackage.cmake)

# package_source would otherwise pack the build folders and the repository too.
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/\\.git$" "/build[^/]*/")

include(CPack)
