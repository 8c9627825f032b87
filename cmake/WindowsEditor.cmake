# The editor as a Windows program: no console window, with its icon and
# version resource.
set_target_properties(quarndb PROPERTIES WIN32_EXECUTABLE ON)
set(QUARNDB_ICON ${CMAKE_SOURCE_DIR}/app/win/quarndb.ico)
configure_file(${CMAKE_SOURCE_DIR}/app/win/quarndb.rc.in ${CMAKE_BINARY_DIR}/quarndb.rc @ONLY)
target_sources(quarndb PRIVATE ${CMAKE_BINARY_DIR}/quarndb.rc)
