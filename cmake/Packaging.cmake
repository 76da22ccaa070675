# The release archive: `cpack` (or the windows-release package preset) zips the install tree,
# bundle layout at the archive's root, into Orvane-<version>-win64.zip; the split-off debug
# information, when there is any, goes into Orvane-<version>-win64-debug.zip, whose .debug/ folder
# unpacks beside the binaries.
set(CPACK_PACKAGE_NAME ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_VENDOR ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR ZIP)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime)
if(ORVANE_SPLIT_DEBUG_INFO)
  list(APPEND CPACK_COMPONENTS_ALL debug)
endif()
set(CPACK_ARCHIVE_RUNTIME_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-win64)
set(CPACK_ARCHIVE_DEBUG_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-win64-debug)
include(CPack)
