# Read by cpack before it packages. Without dpkg-shlibdeps cpack would only
# warn and make a package whose Depends lacks the Qt libraries the programs
# link, a package that does not start: that is an error here.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(SEKORA_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(NOT SEKORA_DPKG_SHLIBDEPS)
    message(FATAL_ERROR "dpkg-shlibdeps is missing: install dpkg-dev to make the package")
  endif()
endif()
