# Every message marked with Tr in cli/ has its English in the catalogue:
# msgcmp compares the template xgettext makes from the sources with it and
# fails for a message that is missing there or untranslated.
# cmake -DXGETTEXT_COMMAND=... -DMSGCMP=... -DTEMPLATE=... -DCATALOGUE=... -P po_check.cmake
execute_process(COMMAND ${XGETTEXT_COMMAND} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${MSGCMP} ${CATALOGUE} ${TEMPLATE} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "po/en.po lacks the English of the messages above: mark them with Tr, "
    "run `cmake --build --preset ci --target update-po` and translate them in po/en.po")
endif()
