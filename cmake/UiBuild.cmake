# The UI program's own Windows build: ORVANE_UI_BUILD_DIR names the folder it left its output in.
# When set, the bundle takes the engine library, the plug-ins and data/ from there byte for byte
# and no stand-in goes into it; configuring stops at once when a file is missing or a library
# lacks a function the executable imports (it would not even load). When empty, the bundle carries
# the stand-ins, and the package names say so.
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
include(DefFile)

# The functions a DLL exports, one per line, from the toolchain's export-table dump.
function(orvane_dll_exports dll out)
  if(CMAKE_OBJDUMP)
    execute_process(COMMAND ${CMAKE_OBJDUMP} -p ${dll} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
    # Only the export table: the import tables name functions too.
    string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)*" dump "${dump}")
  else()
    find_program(ORVANE_DUMPBIN dumpbin REQUIRED)
    execute_process(COMMAND ${ORVANE_DUMPBIN} /nologo /exports ${dll} OUTPUT_VARIABLE dump
                    RESULT_VARIABLE rc)
  endif()
  if(NOT rc EQUAL 0)
    set(dump "")
  endif()
  set(${out} "${dump}" PARENT_SCOPE)
endfunction()

set(problems)
set(libraries)
foreach(def IN LISTS ORVANE_UI_LIBRARY_DEFS)
  get_filename_component(name ${def} NAME_WE)
  set(dll ${ORVANE_UI_BUILD_DIR}/${name}.dll)
  list(APPEND libraries ${dll})
  if(NOT EXISTS ${dll})
    list(APPEND problems "missing file: ${name}.dll")
    continue()
  endif()
  orvane_dll_exports(${dll} exports)
  orvane_def_symbols(${def} symbols)
  foreach(symbol IN LISTS symbols)
    if(NOT exports MATCHES "[] \t]${symbol}\r?\n")
      list(APPEND problems "${name}.dll does not export ${symbol}")
    endif()
  endforeach()
endforeach()
foreach(file IN LISTS ORVANE_UI_DATA_FILES)
  if(NOT EXISTS ${ORVANE_UI_BUILD_DIR}/${file})
    list(APPEND problems "missing file: ${file}")
  endif()
endforeach()
if(problems)
  list(JOIN problems "\n  " problems)
  message(FATAL_ERROR "ORVANE_UI_BUILD_DIR (${ORVANE_UI_BUILD_DIR}) is not a usable UI build:\n"
                      "  ${problems}")
endif()

install(FILES ${libraries} DESTINATION . COMPONENT runtime)
install(FILES ${ORVANE_UI_BUILD_DIR}/data/app.so ${ORVANE_UI_BUILD_DIR}/data/icudtl.dat
        DESTINATION data COMPONENT runtime)
install(DIRECTORY ${ORVANE_UI_BUILD_DIR}/data/flutter_assets DESTINATION data COMPONENT runtime)
