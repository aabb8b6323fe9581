# SPDX-License-Identifier: MIT
# `cpack -G DEB` in a build folder (or the `package` target) makes one package per install
# component, tarvik-cli_<version>_<arch>.deb, tarvik-cli-print_<version>_<arch>.deb and
# tarvik-configurator_<version>_<arch>.deb. Their library dependencies are read off the binaries
# each one holds (dpkg-shlibdeps), so the command line's package never pulls in Qt's GUI
# libraries: only the print package's module draws with them.
set(CPACK_GENERATOR DEB)
# Values reach CPackConfig.cmake as they are written here (the regular expressions below, the
# descriptions' line breaks).
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME tarvik-configurator)
set(CPACK_PACKAGE_VENDOR "Tarvik Audio")
# Debian wants a name and an address; a packager of another build can put in their own.
set(TARVIK_PACKAGE_MAINTAINER "Tarvik Audio <info@tarvik-audio.de>"
    CACHE STRING "Maintainer field of the Debian packages: Name <address>")
set(CPACK_PACKAGE_CONTACT "${TARVIK_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.tarvik-audio.de/")
set(CPACK_STRIP_FILES ON)
# Directories that CPack makes itself would otherwise follow the umask of whoever packs.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${TARVIK_CLI_COMPONENT} ${TARVIK_CLI_PRINT_COMPONENT}
                         ${TARVIK_WINDOW_COMPONENT})
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The packages come from this one source tree and share its changelog (debian/changelog), whose
# newest entry must name this version.
set(CPACK_DEBIAN_PACKAGE_SOURCE tarvik-configurator)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog changelog_head LIMIT_COUNT 1)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS debian/changelog)
set(deb_version "${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}")
if(NOT changelog_head MATCHES "^${CPACK_DEBIAN_PACKAGE_SOURCE} \\(${deb_version}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog must begin with an entry for "
                      "${CPACK_DEBIAN_PACKAGE_SOURCE} (${deb_version}); it begins: ${changelog_head}")
endif()
set(CPACK_DEBIAN_PACKAGE_SECTION sound)

# Component variables carry the component's name in capitals.
string(TOUPPER ${TARVIK_CLI_COMPONENT} cli)
string(TOUPPER ${TARVIK_CLI_PRINT_COMPONENT} print)
string(TOUPPER ${TARVIK_WINDOW_COMPONENT} window)

set(CPACK_DEBIAN_${cli}_PACKAGE_NAME ${TARVIK_CLI_COMPONENT})
set(CPACK_DEBIAN_${cli}_PACKAGE_SHLIBDEPS ON)
# The library of setups opens its file through Qt SQL's SQLite driver, a plugin that Qt loads at
# run time and dpkg-shlibdeps therefore cannot see.
set(CPACK_DEBIAN_${cli}_PACKAGE_DEPENDS "libqt6sql6-sqlite")
# Only `setlist chart` and `sheet FILE.pdf` need it, and they say so when it is missing.
set(CPACK_DEBIAN_${cli}_PACKAGE_SUGGESTS ${TARVIK_CLI_PRINT_COMPONENT})
# The first line is the synopsis; lintian wants the others at most 80 columns wide. An empty line
# separates paragraphs.
set(CPACK_DEBIAN_${cli}_DESCRIPTION "command line for the Tarvik MIDI loop switcher
tarvik-cli backs up, restores, flashes and monitors the Tarvik, a
MIDI-controlled audio loop switcher with eight loops for guitar effects,
from a terminal. A restore only succeeds when the device, read back, holds
exactly what was sent. A library of setups keeps named configurations and
a history of what the device held, and compares any two of them.

It needs no display and no graphical libraries, so a small computer in a
pedalboard can run it. The set chart and the setup sheet's PDF come with
the package tarvik-cli-print; the window is in tarvik-configurator.")

set(CPACK_DEBIAN_${print}_PACKAGE_NAME ${TARVIK_CLI_PRINT_COMPONENT})
set(CPACK_DEBIAN_${print}_PACKAGE_SHLIBDEPS ON)
# A module of tarvik-cli's, of no use without the program that loads it.
set(CPACK_COMPONENT_${print}_DEPENDS ${TARVIK_CLI_COMPONENT})
set(CPACK_DEBIAN_${print}_DESCRIPTION "set chart and setup sheet PDFs for tarvik-cli
The module with which tarvik-cli, the command line for the Tarvik MIDI
loop switcher, draws PDF files: the chart of a set list (setlist chart) and
the setup sheet of a whole configuration (sheet SOURCE FILE.pdf), A4 pages
to read in a rehearsal room.

It draws with Qt GUI, without a display, and so brings Qt GUI's X, OpenGL
and font libraries, which tarvik-cli alone does without.")

set(CPACK_DEBIAN_${window}_PACKAGE_NAME ${TARVIK_WINDOW_COMPONENT})
set(CPACK_DEBIAN_${window}_PACKAGE_SHLIBDEPS ON)
# The window's metadata offers both programs, and whoever installs the window gets the command
# line for scripts beside it, with all its commands.
set(CPACK_COMPONENT_${window}_DEPENDS ${TARVIK_CLI_COMPONENT} ${TARVIK_CLI_PRINT_COMPONENT})
set(CPACK_DEBIAN_${window}_DESCRIPTION "configurator for the Tarvik MIDI loop switcher
Sets up the Tarvik, a MIDI-controlled audio loop switcher with eight loops
for guitar effects, over MIDI System Exclusive: the loops of its 128
presets, the CC map, program change remapping, advanced settings and
firmware updates.

Configurations are saved as .tvk files, which open in the configurator from
the file manager.")

# A sanitized binary would pull in libasan and libubsan; the packages come from a normal build.
set(CPACK_TARVIK_SANITIZE ${TARVIK_SANITIZE})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/RefuseSanitizedPackage.cmake)

# package_source would otherwise pack the build folders and the repository too.
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/\\.git$" "/build[^/]*/")

include(CPack)
