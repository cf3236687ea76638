# cmake -DCPACK_CONFIG=... -DWORK=... -P CheckPackage.cmake
#
# Builds the Debian package from the build folder's CPack configuration, in a
# fresh folder WORK, and runs Debian's checker on it: any error or warning
# fails; the informational tags are printed.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND cpack -G DEB --config "${CPACK_CONFIG}" -B "${WORK}"
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(GLOB packages "${WORK}/*.deb")
if(NOT status EQUAL 0 OR NOT packages)
  message(FATAL_ERROR "cpack -G DEB failed (${status}):\n${output}")
endif()
execute_process(COMMAND lintian --fail-on error,warning --display-info ${packages}
  RESULT_VARIABLE status OUTPUT_VARIABLE tags ERROR_VARIABLE tags)
message("${tags}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lintian found errors or warnings (${status})")
endif()
file(REMOVE_RECURSE "${WORK}")
