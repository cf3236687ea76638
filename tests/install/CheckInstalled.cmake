# cmake -DPREFIX=... -DEXAMPLES=... -DVERSION=... -DGUI=ON|OFF -DWORK=... -P CheckInstalled.cmake
#
# Checks that the prefix holds what an installation promises, that the man
# pages render without warnings, and that the installed harvex-batch reports
# every output in EXAMPLES with a row, in a fresh folder WORK.
set(installed bin/harvex-batch share/man/man1/harvex-batch.1.gz share/doc/harvex/copyright
    share/doc/harvex/changelog.gz)
if(GUI)
  list(APPEND installed bin/harvex share/man/man1/harvex.1.gz share/applications/harvex.desktop
       share/mime/packages/harvex.xml share/metainfo/org.harvex.harvex.metainfo.xml
       share/icons/hicolor/scalable/apps/harvex.svg share/icons/hicolor/256x256/apps/harvex.png)
endif()
foreach(file IN LISTS installed)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${PREFIX}/${file}")
  endif()
endforeach()

find_program(GROFF groff)
if(GROFF)
  file(GLOB pages "${PREFIX}/share/man/man1/*.1.gz")
  foreach(page IN LISTS pages)
    execute_process(COMMAND gzip -dc "${page}" COMMAND ${GROFF} -man -Tutf8 -ww -z ERROR_VARIABLE complaints)
    if(complaints)
      message(FATAL_ERROR "${page} does not render cleanly:\n${complaints}")
    endif()
  endforeach()
endif()

set(batch "${PREFIX}/bin/harvex-batch")
execute_process(COMMAND "${batch}" --version OUTPUT_VARIABLE version RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT version MATCHES "^harvex-batch ${VERSION} ")
  message(FATAL_ERROR "harvex-batch --version gave ${status}: ${version}")
endif()

# The window program names itself in --help and --version, points to
# harvex-batch for the command line, and without a display says so in one
# line instead of opening a window.
if(GUI)
  execute_process(COMMAND "${PREFIX}/bin/harvex" --version OUTPUT_VARIABLE version RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT version MATCHES "^harvex ${VERSION} \\(Harvex version [^\n]*\\)\n$")
    message(FATAL_ERROR "harvex --version gave ${status}: ${version}")
  endif()
  execute_process(COMMAND "${PREFIX}/bin/harvex" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT help MATCHES "\nUsage: harvex \\[FILE\\.\\.\\.\\]\n"
     OR NOT help MATCHES "harvex-batch --help")
    message(FATAL_ERROR "harvex --help gave ${status}:\n${help}")
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
            "${PREFIX}/bin/harvex" examples.out
    RESULT_VARIABLE status ERROR_VARIABLE message)
  if(NOT status EQUAL 2 OR NOT message MATCHES "^harvex: [^\n]*display[^\n]*harvex-batch[^\n]*\n$")
    message(FATAL_ERROR "harvex without a display gave ${status}: ${message}")
  endif()
endif()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(
  COMMAND "${batch}" "${EXAMPLES}"
  WORKING_DIRECTORY "${WORK}"
  RESULT_VARIABLE status
  OUTPUT_QUIET
  ERROR_VARIABLE errors)
file(GLOB outputs "${EXAMPLES}/*.out" "${EXAMPLES}/*.zip")
file(STRINGS "${WORK}/Harvex_res.txt" rows REGEX "\tOUT\t")
list(LENGTH outputs expected)
list(LENGTH rows reported)
if(NOT status EQUAL 0 OR NOT reported EQUAL expected)
  message(FATAL_ERROR "harvex-batch ${EXAMPLES} exited ${status} with ${reported} of ${expected} rows\n${errors}")
endif()
file(REMOVE_RECURSE "${WORK}")
