# The UI program's own Windows build: ORVANE_UI_BUILD_DIR names the folder it left its output in.
# When set, the bundle takes the engine library, the plug-ins, the other libraries at the top and
# data/ from there byte for byte, and no stand-in goes into it; configuring stops at once, naming
# each fault, when a file is missing or is a symbolic link, a library is no 64-bit one, lacks a
# function the executable imports or imports a DLL that is neither packed nor Windows' own (the
# program would not even load). The same checks run again on what is installed or packed
# (Packaging.cmake). When empty, the bundle carries the stand-ins, and the package names say so.
set(ORVANE_UI_BUILD_DIR "" CACHE PATH
    "Output folder of the UI program's Windows build (empty: stand-ins)")

# Each library the executable imports, by the .def file its import library is made from.
set(ORVANE_UI_LIBRARY_DEFS
    ${PROJECT_SOURCE_DIR}/client_wrapper/flutter_windows.def
    ${PROJECT_SOURCE_DIR}/runner/plugins/app_links_plugin.def
    ${PROJECT_SOURCE_DIR}/runner/plugins/desktop_multi_window_plugin.def
    ${PROJECT_SOURCE_DIR}/runner/plugins/url_launcher_windows_plugin.def)
set(ORVANE_UI_DATA_FILES data/app.so data/icudtl.dat data/flutter_assets)

if(NOT ORVANE_UI_BUILD_DIR)
  set(ORVANE_PACKAGE_KIND "-standin")
  # Placeholders that the stand-in engine does not read.
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/testing/engine/data DESTINATION . COMPONENT runtime)
  return()
endif()
set(ORVANE_PACKAGE_KIND "")
include(BundleChecks)

set(OBJDUMP ${CMAKE_OBJDUMP})
orvane_check_bundle(${ORVANE_UI_BUILD_DIR} problems UI_BUILD NO_STANDINS DEFS ${ORVANE_UI_LIBRARY_DEFS}
                    DATA ${ORVANE_UI_DATA_FILES})
if(problems)
  list(JOIN problems "\n  " problems)
  message(FATAL_ERROR "ORVANE_UI_BUILD_DIR (${ORVANE_UI_BUILD_DIR}) is not a usable UI build:\n"
                      "  ${problems}")
endif()

# Every library at the top: the engine, the plug-ins and what they bring along (its runtime, say).
# The UI build's own executables stay behind. Packaging.cmake checks the packed copies again.
orvane_glob_escape("${ORVANE_UI_BUILD_DIR}" pattern)
file(GLOB libraries ${pattern}/*.dll)
install(FILES ${libraries} DESTINATION . COMPONENT runtime)
install(FILES ${ORVANE_UI_BUILD_DIR}/data/app.so ${ORVANE_UI_BUILD_DIR}/data/icudtl.dat
        DESTINATION data COMPONENT runtime)
install(DIRECTORY ${ORVANE_UI_BUILD_DIR}/data/flutter_assets DESTINATION data COMPONENT runtime)
