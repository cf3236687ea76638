# `cpack -G DEB` in the build folder: harvex_<version>_amd64.deb with the
# programs, the desktop files, the icons, the gzipped man pages and the
# package's copyright and changelog under /usr. Its dependencies are computed
# from the programs' shared libraries by dpkg-shlibdeps (Debian's dpkg-dev);
# `file` must be installed for CPack to find the binaries.
set(HARVEX_DEBIAN_MAINTAINER "Harvex developers <developers@harvex.org>"
    CACHE STRING "The project's contact named as the Debian package's maintainer (name <address>)")

set(CPACK_PACKAGE_NAME harvex)
set(CPACK_PACKAGE_VENDOR "Harvex")
set(CPACK_PACKAGE_CONTACT "${HARVEX_DEBIAN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Reports energies of Gaussian and ORCA outputs in one table")
# One line of the extended description each, as Debian wants them: at most 80
# characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Harvex reads the output of quantum-chemistry programs (Gaussian, ORCA;"
  "plain, zipped or gzipped) and conformer descriptions, and reports the"
  "electronic energy, the modes, the Gibbs energy and the counterpoise data"
  "of each file in a window and as one tab-separated row of a results file."
  "harvex-batch does the same on the command line; the Python module harvex"
  "gives the same values to scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(HARVEX_PYTHON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${HARVEX_PYTHON_DEPENDS}")
  # What the module's tables and studies past one machine import.
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-pandas, python3-dask, python3-distributed")
endif()

# The text of a licence from the line that begins with First up to the line
# before the one that begins with Next (to the end without one), as a DEP-5
# copyright file holds it: each line indented, an empty line as " .".
function(harvex_dep5_licence file first next out)
  file(STRINGS ${file} lines)
  set(text "")
  set(inside OFF)
  foreach(line IN LISTS lines)
    if(line MATCHES "^${first}")
      set(inside ON)
    elseif(next AND line MATCHES "^${next}")
      set(inside OFF)
    endif()
    if(inside)
      string(STRIP "${line}" stripped)
      if(stripped STREQUAL "")
        string(APPEND text " .\n")
      else()
        string(APPEND text " ${line}\n")
      endif()
    endif()
  endforeach()
  string(REGEX REPLACE "( \\.\n)+$" "" text "${text}")
  string(REGEX REPLACE "\n$" "" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The copyright file from LICENSE and from the licences examples/NOTICE
# reproduces; the changelog gzipped without a name or time stamp, as Debian
# wants it.
harvex_dep5_licence(${PROJECT_SOURCE_DIR}/LICENSE "Redistribution" "" HARVEX_BSD_LICENSE)
harvex_dep5_licence(${PROJECT_SOURCE_DIR}/examples/NOTICE "Permission is hereby granted" "BSD 3-Clause"
                    HARVEX_EXPAT_LICENSE)
set(package_doc ${CMAKE_BINARY_DIR}/package-doc)
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${package_doc}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${package_doc}/changelog @ONLY)
harvex_gzip(${package_doc}/changelog package_changelog)
install(FILES ${package_doc}/copyright ${package_doc}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/harvex)
# The example outputs, for a first run of any front end on an installed
# system (python3 -c "import harvex; print(harvex.read(
# '/usr/share/doc/harvex/examples/CH4.out').energy)"); the copyright file
# names their sources and licences.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/harvex/examples)

include(CPack)
