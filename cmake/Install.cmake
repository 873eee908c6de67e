# sekora_install_program(TARGET DESTINATION) installs the program TARGET into
# DESTINATION. A stripped install (cpack for the package, or
# `cmake --install --strip`) strips it as Debian's dh_strip does: with the
# symbols go the compiler's .comment and the .note section, which tell
# nothing to a user and differ from one toolchain build to the next.
function(sekora_install_program target destination)
  install(TARGETS ${target} RUNTIME DESTINATION ${destination})
  if(WIN32 OR NOT CMAKE_STRIP)
    return()
  endif()
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      set(folder [[${destination}]])
      if(NOT IS_ABSOLUTE \"\${folder}\")
        set(folder \"\${CMAKE_INSTALL_PREFIX}/\${folder}\")
      endif()
      execute_process(
        COMMAND [[${CMAKE_STRIP}]] --remove-section=.comment --remove-section=.note
                \"\$ENV{DESTDIR}\${folder}/$<TARGET_FILE_NAME:${target}>\"
        COMMAND_ERROR_IS_FATAL ANY)
    endif()")
endfunction()

# sekora_install_compressed(FILE DESTINATION NAME) installs FILE, compressed
# with gzip as Debian's tools compress documentation and manual pages, to
# DESTINATION/NAME.gz. The compressed file holds neither the file's name nor a
# time, so it is the same in every build.
find_program(SEKORA_GZIP gzip)
function(sekora_install_compressed file destination name)
  if(NOT SEKORA_GZIP)
    message(FATAL_ERROR "gzip is needed to install ${name}")
  endif()
  cmake_path(ABSOLUTE_PATH file BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  string(MAKE_C_IDENTIFIER "${destination}/${name}" id)
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/compressed/${id}/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/compressed/${id}
    COMMAND ${SEKORA_GZIP} -9 -n -c ${file} > ${compressed}
    DEPENDS ${file}
    VERBATIM)
  add_custom_target(sekora_gz_${id} ALL DEPENDS ${compressed})
  install(FILES ${compressed} DESTINATION ${destination})
endfunction()
