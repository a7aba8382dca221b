# Windows (x86-64) build with Debian's mingw-w64 (posix threads); programs
# and tests run under Wine.
#
# The window needs Qt for Windows (scripts/qt-windows provides it): pass its
# folder as THRUSTLET_QT_WINDOWS, with Debian's own Qt tools for the host:
#   -DTHRUSTLET_QT_WINDOWS=DIR -DQT_HOST_PATH=/usr
#   -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
# Without it only the Qt-free core (model, settings, thrustlet-kn) is built.
# Every build needs yaml-cpp and tinyxml2 for Windows: pass the folder
# scripts/windows-libs prints as THRUSTLET_WINDOWS_LIBS.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
# yaml-cpp and tinyxml2 for Windows, as scripts/windows-libs builds them.
if(THRUSTLET_WINDOWS_LIBS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${THRUSTLET_WINDOWS_LIBS})
endif()
if(THRUSTLET_QT_WINDOWS)
  # Packages are looked up only below the target's roots, so the host's own
  # Qt can never be taken for the Windows one.
  list(APPEND CMAKE_FIND_ROOT_PATH ${THRUSTLET_QT_WINDOWS})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# One self-contained .exe per program: no runtime DLLs to find under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
find_program(THRUSTLET_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
set(CMAKE_CROSSCOMPILING_EMULATOR ${THRUSTLET_WINE})
