# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the POSIX
# threads variant, which std::thread needs). Used for Qt itself
# (scripts/build-qt-windows.sh) and for Sekora's Windows programs, which run
# here under Wine. Everything links the C++ runtime as DLLs, as Qt does: one
# runtime in the process, shipped beside the programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt built for Windows (`scripts/build-qt-windows.sh --print` names it) is a
# second root beside MinGW's. Its host tools (moc, rcc, uic) are the build
# machine's Qt of the same version.
set(SEKORA_WINDOWS_QT "" CACHE PATH "Qt cross-built for Windows")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SEKORA_WINDOWS_QT)
if(SEKORA_WINDOWS_QT)
  list(APPEND CMAKE_FIND_ROOT_PATH ${SEKORA_WINDOWS_QT})
  list(APPEND CMAKE_PREFIX_PATH ${SEKORA_WINDOWS_QT})
  set(QT_HOST_PATH /usr)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
endif()
