# The Debian package: `cpack -G DEB` (or `bash tools/dev.sh package`) in a build configured
# with CMAKE_INSTALL_PREFIX=/usr. Everything the install rules put in place goes in, plus
# the copyright file and the changelog a Debian package carries.

set(QUILLMARK_MAINTAINER "Quillmark maintainers <maintainers@quillmark.org>" CACHE STRING "Package maintainer")

set(pkg_doc ${CMAKE_INSTALL_DATADIR}/doc/quillmark)
install(FILES resources/debian/copyright resources/debian/changelog DESTINATION ${pkg_doc})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmark)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${QUILLMARK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "e-mail signature rotator for the desktop and the command line")
set(CPACK_PACKAGE_DESCRIPTION "\
Quillmark keeps your e-mail signature fresh. You keep a file of header lines
(your name, address, web page) and a file of quotations; Quillmark picks one
of each at random and rewrites the signature file your mail program reads, on
a timer and whenever you ask.

It sits in the notification area and keeps named profiles, each with its own
files. It comes with a small editor, a first-start wizard, sample quotations,
a clipboard cipher and a wallpaper changer. The command-line companion
quillmark-cli writes a new signature for every message in mutt, aerc or
Evolution and manages the same profiles.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quillmark.org")
# Library dependencies come from the binaries (dpkg-shlibdeps); the decorative scheme's
# font is read from its file, so no library names it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-comic-neue")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
# Debian wants manual pages and the changelog compressed, without time stamps.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/compress_docs.cmake)
include(CPack)
