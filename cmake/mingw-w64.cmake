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
    # The editor's build links the C++ run-time and Qt as DLLs: Wine finds
    # them through WINEPATH, set by a small launcher written here.
    set(quarndb_dll_dirs "")
    foreach(dll libstdc++-6.dll libwinpthread-1.dll)
      execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                      OUTPUT_VARIABLE quarndb_dll OUTPUT_STRIP_TRAILING_WHITESPACE)
      get_filename_component(quarndb_dll "${quarndb_dll}" DIRECTORY)
      list(APPEND quarndb_dll_dirs "${quarndb_dll}")
    endforeach()
    foreach(prefix IN LISTS CMAKE_PREFIX_PATH)
      list(APPEND quarndb_dll_dirs "${prefix}/bin")
    endforeach()
    set(quarndb_winepath "")
    foreach(dir IN LISTS quarndb_dll_dirs)
      get_filename_component(dir "${dir}" REALPATH)
      string(REPLACE "/" "\\" dir "Z:${dir}")
      string(APPEND quarndb_winepath "${dir};")
    endforeach()
    set(quarndb_launcher ${CMAKE_BINARY_DIR}/quarndb-wine)
    file(WRITE ${quarndb_launcher}
         "#!/bin/sh\nWINEPATH='${quarndb_winepath}'\"\${WINEPATH:-}\" exec '${QUARNDB_WINE}' \"$@\"\n")
    file(CHMOD ${quarndb_launcher} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
         GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${quarndb_launcher})
  endif()
endif()
