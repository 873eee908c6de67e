# `cpack` in the build folder makes sekora_<version>_<arch>.deb. The Qt
# libraries the programs link are found by dpkg-shlibdeps (dpkg-dev); what
# they only load at run time is declared here: Qt's platform plugins, and the
# IPA fonts that stand in for the MS faces of the windows and the sheet. Qt's
# own Japanese texts are recommended: without them the program works with
# Qt's English buttons and dialogs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sekora)
set(CPACK_PACKAGE_VENDOR "The Sekora developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "culvert section sizing (函渠断面の決定)")
set(CPACK_PACKAGE_DESCRIPTION
  "Sekora sizes a culvert: for a design discharge and a culvert length it
tries every standard box section and circular pipe of its catalogues,
computes the outlet critical depth and the inlet depth by an energy balance
with Manning friction, checks the freeboard, lists the results and draws and
prints the A4 calculation sheet of a section. Includes the command-line tool
sekora-cli. The user interface and the sheets are in Japanese.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SEKORA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${SEKORA_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-mincho, fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/CPackChecks.cmake)

include(CPack)
