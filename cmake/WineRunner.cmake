# Programs cross-built for Windows run here under Wine: the tests, the
# discovery of their test cases and the end-to-end scripts. They load the
# MinGW runtime (libstdc++, libgcc, winpthreads) and Qt as DLLs, which Wine
# finds on WINEPATH: `wine-run` in the build folder sets it and starts Wine.
find_program(SEKORA_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(NOT SEKORA_WINE)
  return()
endif()

set(dll_folders)
foreach(dll libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(folder ${dll_path} DIRECTORY)
  get_filename_component(folder ${folder} REALPATH)
  list(APPEND dll_folders ${folder})
endforeach()
if(SEKORA_WINDOWS_QT)
  list(APPEND dll_folders ${SEKORA_WINDOWS_QT}/bin)
endif()

# Wine reads WINEPATH as Windows paths: Z: is the root of this file system.
list(TRANSFORM dll_folders PREPEND "Z:")
list(JOIN dll_folders ";" wine_path)
set(SEKORA_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
file(WRITE ${SEKORA_WINE_RUN}
  "#!/bin/sh\n"
  "# Runs a program built for Windows under Wine, with the DLLs it loads.\n"
  "WINEPATH='${wine_path}' exec '${SEKORA_WINE}' \"$@\"\n")
file(CHMOD ${SEKORA_WINE_RUN} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
  GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${SEKORA_WINE_RUN})
