# sekora_install_program(TARGET DESTINATION) installs the program TARGET into
# DESTINATION.
function(sekora_install_program target destination)
  install(TARGETS ${target} RUNTIME DESTINATION ${destination})
endfunction()
