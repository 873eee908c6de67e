# What Explorer shows of a Windows program: its icon, drawn from
# data/sekora.svg at the sizes Windows asks for, and its version information
# (product, description, version); and its manifest. All are compiled into
# the program as resources.
find_program(SEKORA_RSVG_CONVERT rsvg-convert REQUIRED NO_CMAKE_FIND_ROOT_PATH)
find_program(SEKORA_ICOTOOL icotool REQUIRED NO_CMAKE_FIND_ROOT_PATH)

set(SEKORA_ICON ${CMAKE_BINARY_DIR}/icon/sekora.ico)
set(svg ${PROJECT_SOURCE_DIR}/data/sekora.svg)
set(draw_commands)
set(small_images)
# 256 pixels is stored as PNG, as Windows expects of its largest size.
foreach(size 16 20 24 32 40 48 64 256)
  set(image ${CMAKE_BINARY_DIR}/icon/sekora-${size}.png)
  list(APPEND draw_commands
    COMMAND ${SEKORA_RSVG_CONVERT} -w ${size} -h ${size} -o ${image} ${svg})
  if(size LESS 256)
    list(APPEND small_images ${image})
  else()
    set(large_image ${image})
  endif()
endforeach()
add_custom_command(OUTPUT ${SEKORA_ICON}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icon
  ${draw_commands}
  COMMAND ${SEKORA_ICOTOOL} -c -o ${SEKORA_ICON} ${small_images} -r ${large_image}
  DEPENDS ${svg}
  COMMENT "Drawing the program icon")
add_custom_target(sekora_icon DEPENDS ${SEKORA_ICON})

# Gives `target` (a program named `file_name`) the icon and the version
# information with `description`.
function(sekora_windows_resources target file_name description)
  set(SEKORA_RC_FILE_NAME ${file_name})
  set(SEKORA_RC_DESCRIPTION ${description})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES
    OBJECT_DEPENDS "${SEKORA_ICON};${PROJECT_SOURCE_DIR}/cmake/sekora.manifest")
  add_dependencies(${target} sekora_icon)
endfunction()
