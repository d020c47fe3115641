# SPDX-License-Identifier: Apache-2.0
# `make package`: a Debian package of the two programs with their desktop entry, icon, manual pages and
# shell completion. The dependencies are worked out by dpkg-shlibdeps from the libraries the programs
# really link, so the package asks for exactly the Qt and C++ runtime it was built against.
install(FILES data/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/corvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Corvane developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Design of doubly terminated LC ladder filters")
set(CPACK_PACKAGE_DESCRIPTION
    "Corvane designs Butterworth, Chebyshev and further ladder filters, analyses the ladder as built with\n"
    "standard parts and part Q, and answers with a Monte Carlo tolerance analysis whether the built filter\n"
    "meets its mask. corvane-cli does the same from the command line.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Corvane developers <corvane@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ngspice")
include(CPack)
