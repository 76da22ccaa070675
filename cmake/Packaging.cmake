# The release packages, made by `cpack` (or the windows-release package preset) from the install
# tree into build/<preset>/package/:
# - Orvane-<version>-win64.zip, the bundle's layout at the archive's root;
# - Orvane-<version>-win64-debug.zip with the split-off debug information, when there is any,
#   whose .debug/ folder unpacks beside the binaries;
# - Orvane-<version>-win64-setup.exe, the per-user Windows installer (NSIS; installer/).
# Without a UI build (UiBuild.cmake) every name carries "-standin": those packages hold the
# stand-ins and must not pass for a release.
set(CPACK_PACKAGE_NAME ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_VENDOR ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime)
if(ORVANE_SPLIT_DEBUG_INFO)
  list(APPEND CPACK_COMPONENTS_ALL debug)
endif()
set(base ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-win64${ORVANE_PACKAGE_KIND})
set(CPACK_ARCHIVE_RUNTIME_FILE_NAME ${base})
set(CPACK_ARCHIVE_DEBUG_FILE_NAME ${base}-debug)
set(CPACK_PACKAGE_FILE_NAME ${base}-setup)

set(CPACK_GENERATOR ZIP)
find_program(ORVANE_MAKENSIS makensis)
if(ORVANE_MAKENSIS)
  list(APPEND CPACK_GENERATOR NSIS)
else()
  message(WARNING "makensis (NSIS) not found: cpack makes the archives but no installer")
endif()
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/installer)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/installer/options.cmake)
set(CPACK_PACKAGE_INSTALL_DIRECTORY ${CPACK_PACKAGE_NAME})
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY ${CPACK_PACKAGE_NAME})
set(CPACK_NSIS_DISPLAY_NAME ${CPACK_PACKAGE_NAME})
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/runner/resources/app_icon.ico)
set(CPACK_NSIS_COMPRESSOR lzma)
set(CPACK_ORVANE_EXECUTABLE orvane.exe)
set(CPACK_ORVANE_CMAKE ${CMAKE_COMMAND})
set(CPACK_ORVANE_FILE_LIST ${CMAKE_CURRENT_LIST_DIR}/installer/file_list.cmake)
# makensis signs the installer and the uninstaller it embeds with it (Signing.cmake).
set(CPACK_ORVANE_SIGN_SCRIPT "${ORVANE_SIGN_SCRIPT}")
include(CPack)

# The checks made of the UI build when configuring (BundleChecks.cmake), made again of the files
# being installed or packed, last: the archives and the installer hold nothing they have not seen.
set(checks ${CMAKE_BINARY_DIR}/check_bundle.cmake)
set(refuse_standins "")
if(ORVANE_UI_BUILD_DIR)
  set(refuse_standins NO_STANDINS)
endif()
file(CONFIGURE OUTPUT ${checks} @ONLY CONTENT [[
set(OBJDUMP [==[@CMAKE_OBJDUMP@]==])
include([==[@CMAKE_CURRENT_LIST_DIR@/BundleChecks.cmake]==])
set(bundle "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
orvane_check_bundle(${bundle} problems @refuse_standins@ DEFS [==[@ORVANE_UI_LIBRARY_DEFS@]==]
                    DATA [==[@ORVANE_UI_DATA_FILES@]==])
if(problems)
  list(JOIN problems "\n  " problems)
  message(FATAL_ERROR "The bundle in ${bundle} is not fit to ship:\n  ${problems}")
endif()
]])
install(SCRIPT ${checks} COMPONENT runtime)

# Runs cpack itself; only where the stand-ins ship, since the installed bundle is started.
if(ORVANE_TESTS AND ORVANE_SPLIT_DEBUG_INFO AND ORVANE_MAKENSIS AND NOT ORVANE_UI_BUILD_DIR
   AND CMAKE_CROSSCOMPILING)
  string(JOIN "|" defs ${ORVANE_UI_LIBRARY_DEFS})
  # Every Wine program of the test on one display of its own.
  add_test(NAME release_packaging
           COMMAND xvfb-run -a ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR}
                   -DBUILD=${CMAKE_BINARY_DIR} -DTOOLCHAIN=${CMAKE_TOOLCHAIN_FILE}
                   -DGENERATOR=${CMAKE_GENERATOR}
                   -DCC=${CMAKE_C_COMPILER} -DVERSION=${PROJECT_VERSION} -DDEFS=${defs}
                   -DSIGNED=${ORVANE_SIGN_COMMAND}
                   -P ${PROJECT_SOURCE_DIR}/cmake/tests/packaging_test.cmake)
  set_tests_properties(release_packaging PROPERTIES TIMEOUT 1200)
endif()
