# The Debian package: `cpack` in a build folder writes tolvanix_<version>_<arch>.deb.
# Library dependencies come from dpkg-shlibdeps, so they name exactly the Qt 6
# and C++ runtime packages the binary links; the font is named by hand.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvanix)
set(CPACK_PACKAGE_VENDOR "Tolvanix project")
set(CPACK_PACKAGE_CONTACT "Tolvanix project <tolvanix@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "split a file into pieces and join them back")
set(CPACK_PACKAGE_DESCRIPTION
  "Tolvanix cuts one file into numbered pieces NAME.001, NAME.002, ... of a size\n"
  "chosen in kilobytes, so that they can be carried on removable media one piece\n"
  "per medium, and later joins the pieces back into a byte-for-byte copy.\n"
  "The user interface is in Japanese.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.example.org/tolvanix/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-ipafont-gothic)
# Qt's own translations give the file dialogs their Japanese button texts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)

include(CPack)
