# cmake -DLOCALES="de_DE.UTF-8;..." -DLOCPATH=FOLDER -P tests/common/CompileLocales.cmake
#
# Compiles each named locale from the system's locale sources (Debian's
# locales package) into FOLDER, where LOCPATH finds it, unless it is there
# already. Each locale is compiled into a scratch folder and renamed into
# place, so an interrupted run never leaves a half-written locale behind.
foreach(name IN LISTS LOCALES)
  set(target "${LOCPATH}/${name}")
  if(EXISTS "${target}/LC_CTYPE")
    continue()
  endif()
  string(REGEX MATCH "^([^.]+)\\.(.+)$" parts "${name}")
  if(NOT parts)
    message(FATAL_ERROR "${name}: a locale is named <language>_<territory>.<charset>")
  endif()
  set(scratch "${target}.partial")
  file(REMOVE_RECURSE "${scratch}")
  file(MAKE_DIRECTORY "${LOCPATH}")
  execute_process(
    COMMAND localedef -i "${CMAKE_MATCH_1}" -f "${CMAKE_MATCH_2}" "${scratch}"
    RESULT_VARIABLE status
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
  # localedef exits 1 on mere warnings; the compiled character table tells
  # whether it worked.
  if(NOT EXISTS "${scratch}/LC_CTYPE")
    message(FATAL_ERROR "${name}: localedef failed (${status}); the locales package is needed.\n${output}")
  endif()
  file(RENAME "${scratch}" "${target}")
  message(STATUS "compiled ${name}")
endforeach()
