# `cpack` in the build folder makes sekora_<version>_<arch>.deb. The Qt
# libraries the programs link are found by dpkg-shlibdeps; what they only
# load at run time is declared here: Qt's platform plugins, and the IPA
# fonts that stand in for the MS faces of the windows and the sheet.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sekora)
set(CPACK_PACKAGE_VENDOR "The Sekora developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "culvert section sizing (函渠断面の決定)")
set(CPACK_PACKAGE_DESCRIPTION
  "Sekora sizes a culvert: for a design discharge and a culvert length it tries
every standard box section and circular pipe of its catalogues, computes the
outlet critical depth and the inlet depth by an energy balance with Manning
friction, checks the freeboard, lists the results and draws and prints the
A4 calculation sheet of a section. Includes the command-line tool sekora-cli.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Sekora developers <sekora-dev@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-mincho, fonts-ipafont-gothic")

include(CPack)
