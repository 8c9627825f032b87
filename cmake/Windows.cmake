# Windows builds made with MinGW-w64 (see mingw-w64.cmake).

if(NOT QUARNDB_GUI)
  # The programs and tests without Qt carry the C++ run-time inside them, so
  # they run under Wine or on a bare Windows without the MinGW DLLs.
  add_link_options(-static)
endif()

# xxHash has no MinGW build in Debian: its header, copied out of the host's
# include folder (never the folder itself), is the whole library when
# XXH_INLINE_ALL is defined.
if((NOT XXHASH_LIBRARY OR XXHASH_LIBRARY STREQUAL "quarndb_xxhash_inline") AND EXISTS /usr/include/xxhash.h)
  file(COPY /usr/include/xxhash.h DESTINATION ${CMAKE_BINARY_DIR}/xxhash)
  add_library(quarndb_xxhash_inline INTERFACE)
  target_compile_definitions(quarndb_xxhash_inline INTERFACE XXH_INLINE_ALL)
  set(XXHASH_INCLUDE_DIR ${CMAKE_BINARY_DIR}/xxhash CACHE PATH "" FORCE)
  set(XXHASH_LIBRARY quarndb_xxhash_inline CACHE STRING "" FORCE)
endif()

# libcsv has no MinGW build in Debian either: its one C file, from Debian's
# source package (tools/windows/fetch-libcsv.sh puts it in the cache), is
# compiled here into a static library, its header copied beside xxHash's.
set(QUARNDB_LIBCSV_SOURCE "" CACHE PATH "Debian's libcsv source folder (the one holding libcsv.c)")
if(NOT QUARNDB_LIBCSV_SOURCE)
  if(DEFINED ENV{QUARNDB_CACHE})
    set(quarndb_cache $ENV{QUARNDB_CACHE})
  else()
    set(quarndb_cache $ENV{HOME}/.cache/quarndb)
  endif()
  file(GLOB quarndb_libcsv_found ${quarndb_cache}/libcsv-source/*/libcsv.c)
  if(quarndb_libcsv_found)
    list(GET quarndb_libcsv_found 0 quarndb_libcsv_file)
    get_filename_component(quarndb_libcsv_dir ${quarndb_libcsv_file} DIRECTORY)
    set(QUARNDB_LIBCSV_SOURCE ${quarndb_libcsv_dir} CACHE PATH "" FORCE)
  endif()
endif()
if(NOT EXISTS ${QUARNDB_LIBCSV_SOURCE}/libcsv.c)
  message(FATAL_ERROR "No libcsv source for the Windows build: run tools/windows/fetch-libcsv.sh "
                      "or give -DQUARNDB_LIBCSV_SOURCE=<folder with libcsv.c>")
endif()
if(NOT TARGET quarndb_libcsv)
  enable_language(C)
  file(COPY ${QUARNDB_LIBCSV_SOURCE}/csv.h DESTINATION ${CMAKE_BINARY_DIR}/libcsv)
  add_library(quarndb_libcsv STATIC ${QUARNDB_LIBCSV_SOURCE}/libcsv.c)
  target_include_directories(quarndb_libcsv PRIVATE ${CMAKE_BINARY_DIR}/libcsv)
  target_compile_options(quarndb_libcsv PRIVATE -w)
  set(CSV_INCLUDE_DIR ${CMAKE_BINARY_DIR}/libcsv CACHE PATH "" FORCE)
  set(CSV_LIBRARY quarndb_libcsv CACHE STRING "" FORCE)
endif()

# nlohmann-json is header-only and Debian installs it for the host only: the
# same copy-the-headers approach gives the cross build its target.
if(NOT TARGET nlohmann_json::nlohmann_json AND EXISTS /usr/include/nlohmann/json.hpp)
  file(COPY /usr/include/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/nlohmann-json)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/nlohmann-json)
  set(nlohmann_json_FOUND TRUE)
endif()

# CLI11 is header-only too, and Debian installs it for the host only.
if(NOT TARGET CLI11::CLI11 AND EXISTS /usr/include/CLI/CLI.hpp)
  file(COPY /usr/include/CLI DESTINATION ${CMAKE_BINARY_DIR}/cli11)
  add_library(CLI11::CLI11 INTERFACE IMPORTED GLOBAL)
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/cli11)
  set(CLI11_FOUND TRUE)
endif()

# The registry and shell calls of the editor, free of Qt.
add_subdirectory(${CMAKE_SOURCE_DIR}/kit/win ${CMAKE_BINARY_DIR}/kit/win)

# Debian ships GoogleTest as source only for other systems: build it here with
# the cross compiler.
set(QUARNDB_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source for the Windows build")
if(EXISTS ${QUARNDB_GTEST_SOURCE}/CMakeLists.txt AND NOT TARGET GTest::gtest_main)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(${QUARNDB_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  target_compile_options(gtest PRIVATE -w)
  target_compile_options(gtest_main PRIVATE -w)
endif()

# The test lists are read when ctest runs, not at build time, and Wine may
# take longer to start than GoogleTest's default five seconds.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
include(GoogleTest)
macro(gtest_discover_tests)
  _gtest_discover_tests(${ARGV} DISCOVERY_TIMEOUT 120)
endmacro()

# A version resource for a command-line program, from the project() line.
function(quarndb_version_resource target description)
  set(QUARNDB_PROGRAM ${target})
  set(QUARNDB_PROGRAM_DESCRIPTION "${description}")
  configure_file(${CMAKE_SOURCE_DIR}/cmake/WindowsProgram.rc.in ${CMAKE_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/${target}.rc)
endfunction()
