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
set(SEKORA_WINE_RUN_LOG ${CMAKE_BINARY_DIR}/wine-run.log)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${SEKORA_WINE_RUN} @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                   WORLD_EXECUTE)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run-test.in ${CMAKE_BINARY_DIR}/wine-run-test @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                   WORLD_EXECUTE)
# Test programs start through wine-run-test; the end-to-end scripts run the
# programs through wine-run (SEKORA_WINE_RUN), which leaves their output and
# status to the script.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run-test)
