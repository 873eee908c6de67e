# CLI11 and nlohmann-json are header-only: a cross build uses the host's
# headers. Only their own folders are copied, so that the rest of the host's
# /usr/include (the Linux C library) never stands in the target's way.
function(sekora_host_header_library target folder)
  if(TARGET ${target})
    return()
  endif()
  set(headers ${CMAKE_BINARY_DIR}/host-headers)
  file(COPY /usr/include/${folder} DESTINATION ${headers})
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${headers})
endfunction()
