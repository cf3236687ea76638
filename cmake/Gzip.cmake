# harvex_gzip(FILE TARGET): FILE.gz beside FILE, made by the build target
# TARGET with gzip -9n, whose header holds no name and no time stamp: the same
# sources give the same package, and Debian wants man pages and changelogs so.
function(harvex_gzip file target)
  add_custom_command(OUTPUT ${file}.gz
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${file} ${file}.gz
    DEPENDS ${file}
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${file}.gz)
endfunction()
