# `cpack -G DEB` in the build folder makes plenbatchprint_<version>_<arch>.deb from the install
# rules. dpkg-shlibdeps works out the library packages; what the program loads at run time
# without linking to it is named here.
set(CPACK_PACKAGE_NAME plenbatchprint)
set(CPACK_PACKAGE_VENDOR "PlenBatchPrint developers")
set(CPACK_PACKAGE_CONTACT "PlenBatchPrint developers <developers@plenbatchprint.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Print many Visio drawings in one go")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "PlenBatchPrint prints a list of Visio drawings (.vsd, .vst, .vdx, .vtx, .vsdx, .vstx, "
       ".vsdm, .vstm) one after the other, to a CUPS printer or to PDF files, with copies, page "
       "range and a summary page, from a window or unattended from the command line.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.plenbatchprint.org")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's platform plugins (xcb, wayland, offscreen) are loaded, not linked.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The renderer's metric-compatible fonts, the command-line printing tools, the desktop's
# opener for help pages and the PDF folder, and Qt's Wayland platform plugin (without it the
# window falls back to X11, and silent runs need neither).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-liberation2, fonts-crosextra-carlito, fonts-crosextra-caladea, cups-client, xdg-utils, qt6-wayland")

include(CPack)
