# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (posix threads, so
# std::thread and std::mutex work) and runs the results through Wine, which
# lets ctest and try_run work unchanged.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUARNDB_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${QUARNDB_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUARNDB_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUARNDB_MINGW_TRIPLE}-windres)

# Only libraries, headers and packages come from the Windows side; programs
# (moc, rcc, uic) are the host's.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${QUARNDB_MINGW_TRIPLE})
# A Qt for Windows named in CMAKE_PREFIX_PATH lies outside the MinGW root.
foreach(prefix IN LISTS CMAKE_PREFIX_PATH)
  list(APPEND CMAKE_FIND_ROOT_PATH ${prefix})
endforeach()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt's own build runs no Windows program and must not start Wine.
if(NOT QUARNDB_NO_EMULATOR)
  find_program(QUARNDB_WINE NAMES wine wine64)
  if(QUARNDB_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QUARNDB_WINE})
  endif()
endif()
