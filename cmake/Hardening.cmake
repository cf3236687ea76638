# Debian's hardening flags, as dpkg-buildflags gives them with every
# hardening feature on (fortify, stack protector, relro, bindnow, ...), for
# the optimised builds the Debian package is made from. Their -g and -O are
# left to the build type; the sanitizer and fuzz builds, and Debug builds
# (fortify needs optimisation), go without.
option(HARVEX_HARDENING "Build optimised builds with Debian's hardening flags" ON)
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(HARVEX_HARDENING AND DPKG_BUILDFLAGS AND NOT HARVEX_SANITIZE AND NOT HARVEX_FUZZ
   AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all ${DPKG_BUILDFLAGS} --get ${kind}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^(-g|-O.*|-ffile-prefix-map=.*)$")
    if(kind STREQUAL "LDFLAGS")
      add_link_options(${flags})
    else()
      add_compile_options(${flags})
    endif()
  endforeach()
endif()
