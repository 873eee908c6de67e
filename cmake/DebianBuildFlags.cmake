# Debian's hardening, as dpkg-buildflags gives it to the distribution's
# packages with every feature on: fortified C library calls
# (-D_FORTIFY_SOURCE=2), the stack protector, format checks, and a
# relocation table made read-only and bound at start-up (-z relro -z now).
# The build type keeps choosing the optimisation and the debug information
# (the package is stripped). The source folder, which dpkg-buildflags maps
# to ".", and the build folder are kept out of what is compiled, so that two
# builds in two folders give the same bytes.
find_program(SEKORA_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)

function(sekora_dpkg_buildflags name out)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            "DEB_${name}_MAINT_STRIP=-g -O2" ${SEKORA_DPKG_BUILDFLAGS} --get ${name}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE flags
    OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

sekora_dpkg_buildflags(CPPFLAGS debian_cppflags)
sekora_dpkg_buildflags(CXXFLAGS debian_cxxflags)
sekora_dpkg_buildflags(LDFLAGS debian_ldflags)
# The build folder's map comes last, to win over the source folder's for
# the files generated inside it.
add_compile_options(${debian_cppflags} ${debian_cxxflags}
  -ffile-prefix-map=${PROJECT_BINARY_DIR}=.)
add_link_options(${debian_ldflags})
message(STATUS "Debian build flags: ${debian_cppflags} ${debian_cxxflags} ${debian_ldflags}")
