# cmake -DSOURCE=... -DBUILD=... -DTOOLCHAIN=... -DGENERATOR=... -DCC=... -DDEFS="a.def|b.def"
#       -P packaging_test.cmake
# What ships, end to end: a bundle built from a folder made to look like a UI build (its files
# carry bytes of their own, so a stand-in slipping in shows), configuring against a broken one,
# and the installer's round trip under Wine in a prefix of its own.
cmake_minimum_required(VERSION 3.20)
include(${SOURCE}/cmake/DefFile.cmake)

set(work ${BUILD}/packaging_test)
set(prefix ${work}/prefix)
set(env ${CMAKE_COMMAND} -E env WINEPREFIX=${prefix} ORVANE_WINEPREFIX=${prefix})
if(EXISTS ${prefix})
  execute_process(COMMAND ${env} wineserver -k ERROR_QUIET)
endif()
file(REMOVE_RECURSE ${work})
string(REPLACE "|" ";" defs "${DEFS}")

# check(<condition>): its first word names the variable shown when it fails.
function(check)
  if(NOT (${ARGN}))
    list(JOIN ARGN " " condition)
    message(FATAL_ERROR "expected: ${condition}\n${ARGV0}: ${${ARGV0}}")
  endif()
endfunction()

# A DLL that exports what DEF lists, but for SKIP.
function(make_dll def dll skip)
  orvane_def_symbols(${def} symbols)
  set(source "")
  foreach(symbol IN LISTS symbols)
    if(NOT symbol STREQUAL skip)
      string(APPEND source "__declspec(dllexport) void ${symbol}(void) {}\n")
    endif()
  endforeach()
  file(WRITE ${work}/exports.c "${source}")
  execute_process(COMMAND ${CC} -shared -o ${dll} ${work}/exports.c RESULT_VARIABLE rc)
  check(rc EQUAL 0)
endfunction()

# Configures the project against UI build UI in DIR; sets rc and output.
macro(configure dir ui)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${dir} -G ${GENERATOR}
                          --toolchain ${TOOLCHAIN} -DCMAKE_BUILD_TYPE=Release -DORVANE_TESTS=OFF
                          -DORVANE_SPLIT_DEBUG_INFO=ON -DORVANE_UI_BUILD_DIR=${ui}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE output ERROR_VARIABLE output)
endmacro()

# Every file below DIR, relative to it, sorted.
function(files_below dir out)
  file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${dir} ${dir}/*)
  list(SORT found)
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

# The files below DIR are exactly those of REFERENCE and the EXTRA ones, byte for byte.
function(expect_same_files dir reference)
  files_below(${dir} actual)
  files_below(${reference} expected)
  list(APPEND expected ${ARGN})
  list(SORT expected)
  string(JOIN " " actual ${actual})
  string(JOIN " " wanted ${expected})
  check(actual STREQUAL "${wanted}")
  foreach(file IN LISTS expected)
    if(NOT file IN_LIST ARGN)
      execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${dir}/${file} ${reference}/${file}
                      RESULT_VARIABLE rc)
      if(rc)
        message(FATAL_ERROR "${dir}/${file} differs")
      endif()
    endif()
  endforeach()
endfunction()

# The UI build: our own bytes everywhere, and an asset the stand-in bundle does not have.
set(ui ${work}/ui)
file(MAKE_DIRECTORY ${ui})
foreach(def IN LISTS defs)
  get_filename_component(name ${def} NAME_WE)
  make_dll(${def} ${ui}/${name}.dll "")
endforeach()
file(WRITE ${ui}/data/app.so "the UI program's compiled code")
file(WRITE ${ui}/data/icudtl.dat "ICU data")
file(WRITE ${ui}/data/flutter_assets/AssetManifest.json "{\"fonts/older.otf\": []}")
file(WRITE ${ui}/data/flutter_assets/fonts/older.otf "a font only the older version has")

# A file missing, and an engine library short of one function: each stops the configuration.
file(COPY ${ui}/ DESTINATION ${work}/ui_missing PATTERN "icudtl.dat" EXCLUDE
     PATTERN "url_launcher_windows_plugin.dll" EXCLUDE)
configure(${work}/missing ${work}/ui_missing)
check(output MATCHES "missing file: url_launcher_windows_plugin.dll")
check(output MATCHES "missing file: data/icudtl.dat")
check(rc GREATER 0)
file(COPY ${ui}/ DESTINATION ${work}/ui_short)
list(GET defs 0 engine_def)
make_dll(${engine_def} ${work}/ui_short/flutter_windows.dll FlutterDesktopMessengerUnlock)
configure(${work}/short ${work}/ui_short)
check(output MATCHES "flutter_windows.dll does not export FlutterDesktopMessengerUnlock")
check(rc GREATER 0)

# The bundle from the UI build. The executable does not depend on the UI build: the one of the
# build under test is taken rather than compiled again.
configure(${work}/real ${ui})
check(output MATCHES "Generating done")
file(COPY ${BUILD}/app/orvane.exe ${BUILD}/app/orvane.exe.debug DESTINATION ${work}/real/app)
file(COPY ${BUILD}/app/orvane.exe DESTINATION ${work}/expected)
file(COPY ${ui}/ DESTINATION ${work}/expected)
execute_process(COMMAND cpack -G ZIP -B ${work}/real/package WORKING_DIRECTORY ${work}/real
                RESULT_VARIABLE rc OUTPUT_QUIET)
file(GLOB zips RELATIVE ${work}/real/package ${work}/real/package/*.zip)
string(JOIN " " zips ${zips})
check(zips STREQUAL "Orvane-1.0.0.1-win64-debug.zip Orvane-1.0.0.1-win64.zip")
file(MAKE_DIRECTORY ${work}/unzipped)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${work}/real/package/Orvane-1.0.0.1-win64.zip
                WORKING_DIRECTORY ${work}/unzipped)
expect_same_files(${work}/unzipped ${work}/expected)

# Installers: the UI build's as an older version, then the stand-ins' as the newer one.
execute_process(COMMAND cpack -G NSIS -R 1.0.0.0 -B ${work}/older WORKING_DIRECTORY ${work}/real
                RESULT_VARIABLE rc OUTPUT_QUIET)
check(rc EQUAL 0)
execute_process(COMMAND cpack -G NSIS -B ${work}/newer WORKING_DIRECTORY ${BUILD}
                RESULT_VARIABLE rc OUTPUT_QUIET)
file(GLOB setups RELATIVE ${work}/newer ${work}/newer/*.exe)
check(setups STREQUAL "Orvane-1.0.0.1-win64-standin-setup.exe")
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --component runtime
                        --prefix ${work}/newer_bundle OUTPUT_QUIET)

set(run ${env} ${BUILD}/wine-run.sh)
foreach(setup ${work}/older/Orvane-1.0.0.1-win64-setup.exe ${work}/newer/${setups})
  execute_process(COMMAND ${run} ${setup} /S RESULT_VARIABLE rc)
  check(rc EQUAL 0)
endforeach()
file(GLOB home LIST_DIRECTORIES true ${prefix}/drive_c/users/*/AppData)
set(installed ${home}/Local/Programs/Orvane)
set(shortcut "${home}/Roaming/Microsoft/Windows/Start Menu/Programs/Orvane.lnk")
expect_same_files(${installed} ${work}/newer_bundle Uninstall.exe)
file(READ ${shortcut} link HEX)
string(HEX "orvane.exe" target)
check(link MATCHES "${target}")

set(key "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane")
execute_process(COMMAND ${run} reg query ${key} OUTPUT_VARIABLE values)
set(location "C:\\\\users\\\\[^\\\\]+\\\\AppData\\\\Local\\\\Programs\\\\Orvane")
foreach(value "DisplayName +REG_SZ +Orvane\r?\n" "DisplayVersion +REG_SZ +1.0.0.1\r?\n"
              "Publisher +REG_SZ +Orvane\r?\n" "DisplayIcon +REG_SZ +${location}\\\\orvane.exe,0"
              "InstallLocation +REG_SZ +${location}\r?\n"
              "UninstallString +REG_SZ +\"${location}\\\\Uninstall.exe\"")
  check(values MATCHES "${value}")
endforeach()
# The size in KiB: more than the executable alone, far less than the bundle's bytes.
string(REGEX MATCH "EstimatedSize +REG_DWORD +0x([0-9a-f]+)" size "${values}")
math(EXPR size "0x${CMAKE_MATCH_1}")
file(SIZE ${installed}/orvane.exe low)
math(EXPR low "${low} / 1024")
check(size GREATER low AND size LESS 16384)

execute_process(COMMAND ${env} ORVANE_STANDIN_QUIT=1 ${BUILD}/wine-run.sh orvane.exe --hidden
                WORKING_DIRECTORY ${installed} RESULT_VARIABLE rc)
check(rc EQUAL 0)

# The uninstaller takes what it installed, and only that: a file of the user's stays.
file(WRITE ${installed}/data/notes.txt "the user's")
execute_process(COMMAND ${run} ${installed}/Uninstall.exe /S RESULT_VARIABLE rc)
# It runs on from a copy of itself; the prefix's server ends when it has.
execute_process(COMMAND ${env} wineserver -w)
files_below(${installed} left)
check(left STREQUAL "data/notes.txt")
check(rc EQUAL 0)
check(NOT EXISTS "${shortcut}")
execute_process(COMMAND ${run} reg query ${key} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
check(rc GREATER 0)
file(REMOVE_RECURSE ${work})
