# Writes the texts harvex-batch prints for --help and --version into a header
# of the window program, which answers those options with the same texts
# without linking the command line's parser.
# Usage: cmake -DBATCH=<harvex-batch> -DOUTPUT=<header> -P InfoTexts.cmake
foreach(option help version)
  execute_process(COMMAND "${BATCH}" --${option} OUTPUT_VARIABLE ${option} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${BATCH} --${option} gave ${status}")
  endif()
endforeach()
set(delimiter "HarvexInfo")
file(WRITE "${OUTPUT}.new"
  "// Written by InfoTexts.cmake from harvex-batch --help and --version.\n"
  "#pragma once\n\n"
  "namespace harvex {\n\n"
  "inline constexpr char HelpText[] = R\"${delimiter}(${help})${delimiter}\";\n"
  "inline constexpr char VersionText[] = R\"${delimiter}(${version})${delimiter}\";\n\n"
  "}  // namespace harvex\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
