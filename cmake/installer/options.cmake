# Read by cpack for each generator.
if(CPACK_GENERATOR STREQUAL "NSIS")
  # One installer of the runtime component: the debug information keeps to its archive.
  set(CPACK_MONOLITHIC_INSTALL ON)
  string(REPLACE ";ALL;" ";runtime;" CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_INSTALL_CMAKE_PROJECTS}")
endif()
