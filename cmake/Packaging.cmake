# `cpack -G DEB` in the build folder: harvex_<version>_amd64.deb with the
# programs, the desktop entry, the icons and the man pages under /usr. Its
# dependencies are computed from the programs' shared libraries by
# dpkg-shlibdeps (Debian's dpkg-dev).
set(HARVEX_PACKAGE_CONTACT "Harvex maintainers" CACHE STRING "Maintainer named in the Debian package")

set(CPACK_PACKAGE_NAME harvex)
set(CPACK_PACKAGE_VENDOR "Harvex")
set(CPACK_PACKAGE_CONTACT "${HARVEX_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Reports energies of Gaussian and ORCA outputs in one table")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Harvex reads the output of quantum-chemistry programs (Gaussian, ORCA, plain or zipped) and conformer "
    "descriptions, and reports the electronic energy, the modes, the Gibbs energy and the counterpoise data of "
    "each file in a window and as one tab-separated row of a results file. harvex-batch does the same on the "
    "command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
