# cmake -DSOURCE=... -DBUILD=... -DTOOLCHAIN=... -DGENERATOR=... -DCC=... -DVERSION=... -DDEFS="a.def|b.def"
#       -DSIGNED=<the build's ORVANE_SIGN_COMMAND> -P packaging_test.cmake
# What ships, end to end: a bundle built and signed from a folder made to look like a UI build (its
# files carry bytes of their own, so a stand-in slipping in shows), configuring and packing
# against broken ones, and the installer's round trips under Wine in a prefix of its own, with
# Orvane running, stopped, or a file of it held by another program.
cmake_minimum_required(VERSION 3.20)
include(${SOURCE}/cmake/BundleChecks.cmake)

set(work ${BUILD}/packaging_test)
set(prefix ${work}/prefix)
set(env ${CMAKE_COMMAND} -E env WINEPREFIX=${prefix} ORVANE_WINEPREFIX=${prefix})
if(EXISTS ${prefix})
  execute_process(COMMAND ${env} wineserver -k ERROR_QUIET)
endif()
# All from scratch, but the UI build's own build tree: a run after the first compiles nothing.
macro(clear_work)
  file(GLOB earlier LIST_DIRECTORIES true ${work}/* ${work}/real/bundle ${work}/real/package)
  list(REMOVE_ITEM earlier ${work}/real)
  file(REMOVE_RECURSE ${earlier} ${work}/none)
endmacro()
clear_work()
string(REPLACE "|" ";" defs "${DEFS}")

# fail(MESSAGE): ends the test, first letting go of an Orvane it stopped and ending the prefix's
# processes, so that no process is left stopped or waiting for a click.
function(fail)
  if(stopped)
    execute_process(COMMAND kill -CONT ${stopped})
  endif()
  if(EXISTS ${prefix})
    execute_process(COMMAND ${env} wineserver -k)
  endif()
  message(FATAL_ERROR ${ARGN})
endfunction()

# check(<condition>): its first word names the variable shown when it fails.
function(check)
  if(NOT (${ARGN}))
    list(JOIN ARGN " " condition)
    fail("expected: ${condition}\n${ARGV0}: ${${ARGV0}}")
  endif()
endfunction()

# A 64-bit DLL from C source TEXT, linked with the further files given (DLLs it imports from).
function(make_dll dll text)
  file(WRITE ${work}/source.c "${text}")
  execute_process(COMMAND ${CC} -shared -o ${dll} ${work}/source.c ${ARGN} RESULT_VARIABLE rc)
  check(rc EQUAL 0)
endfunction()

# The source of a library that exports what DEF lists, but for SKIP.
function(def_source def skip out)
  orvane_def_symbols(${def} symbols)
  set(text "")
  foreach(symbol IN LISTS symbols)
    if(NOT symbol STREQUAL skip)
      string(APPEND text "__declspec(dllexport) void ${symbol}(void) {}\n")
    endif()
  endforeach()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Configures the project against UI build UI in DIR, with the further cache settings given; its
# bundle goes to DIR/bundle. Sets rc and output.
macro(configure dir ui)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${dir} -G ${GENERATOR}
                          --toolchain ${TOOLCHAIN} -DCMAKE_BUILD_TYPE=Release -DORVANE_TESTS=OFF
                          -DORVANE_SPLIT_DEBUG_INFO=ON -DORVANE_UI_BUILD_DIR=${ui}
                          -DCMAKE_INSTALL_PREFIX=${dir}/bundle ${ARGN}
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
        fail("${dir}/${file} differs")
      endif()
    endif()
  endforeach()
endfunction()

# The throwaway code-signing certificate, and FILE's signature: "ours" (made with it), or "none".
set(certificate ${work}/certificate.pem)
set(key ${work}/key.pem)
file(MAKE_DIRECTORY ${work})
execute_process(COMMAND openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=Orvane-test
                        -addext extendedKeyUsage=codeSigning -keyout ${key} -out ${certificate}
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
check(rc EQUAL 0)
function(signature file out)
  execute_process(COMMAND osslsigncode verify -CAfile ${certificate} -in ${file}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE said ERROR_VARIABLE said)
  if(rc EQUAL 0)
    set(${out} ours PARENT_SCOPE)
  elseif(said MATCHES "No signature found")
    set(${out} none PARENT_SCOPE)
  else()
    set(${out} "${said}" PARENT_SCOPE)
  endif()
endfunction()

# Visual Studio's dumpbin cannot run here: its output, as it prints it, read as objdump's is.
string(CONCAT dump "Dump of file x.dll\n\nPE signature found\n\nFILE HEADER VALUES\n"
                   "            8664 machine (x64)\n\n"
                   "  Image has the following dependencies:\n\n    KERNEL32.dll\n    other.dll\n\n"
                   "  Section contains the following exports for x.dll\n\n"
                   "    ordinal hint RVA      name\n\n"
                   "          1    0 00001010 FlutterDesktopMessengerSendWithReply\n"
                   "          2    1          FlutterDesktopMessengerSend (forwarded to y.Send)\n"
                   "          3    2 00001020 Plain = Plain\n\n  Summary\n\n        1000 .data\n")
orvane_parse_pe_dump("${dump}" vs)
string(JOIN " " vs "${vs_X64}" ${vs_IMPORTS} ${vs_EXPORTS})
check(vs STREQUAL "TRUE kernel32.dll other.dll FlutterDesktopMessengerSendWithReply FlutterDesktopMessengerSend Plain")
orvane_parse_pe_dump("             14C machine (x86)\n" vs)
check(vs_X64 STREQUAL FALSE)

# The UI build: our own bytes everywhere, an asset the stand-in bundle does not have, a library
# that a plug-in brings along, and the UI build's own executable (not packed).
set(ui "${work}/ui [2]")  # a folder name that a glob pattern would read otherwise
file(MAKE_DIRECTORY ${ui}/data/flutter_assets/fonts ${work}/elsewhere)
make_dll(${ui}/helper_runtime.dll "__declspec(dllexport) void helper_function(void) {}\n")
foreach(def IN LISTS defs)
  get_filename_component(name ${def} NAME_WE)
  def_source(${def} "" text)
  if(name STREQUAL "url_launcher_windows_plugin")
    string(APPEND text "__declspec(dllimport) void helper_function(void);\n"
                       "void call_helper(void) { helper_function(); }\n")
  endif()
  make_dll(${ui}/${name}.dll "${text}" ${ui}/helper_runtime.dll)
endforeach()
file(WRITE ${ui}/orvane_ui.exe "the UI build's own runner")
file(WRITE ${ui}/data/app.so "the UI program's compiled code")
file(WRITE ${ui}/data/icudtl.dat "ICU data")
file(WRITE ${ui}/data/flutter_assets/AssetManifest.json "{\"fonts/older.otf\": []}")
file(WRITE ${ui}/data/flutter_assets/fonts/older.otf "a font only the older version has")
file(WRITE "${ui}/data/flutter_assets/fonts/$price.otf" "a name with a dollar sign")

# Each fault stops the configuration, named: a file missing, a library of our stand-ins, one that
# is no library, a 32-bit one, a symbolic link; an engine library short of a function whose name
# begins another's, a plug-in importing a DLL that is nowhere.
file(COPY ${ui}/ DESTINATION ${work}/ui_missing PATTERN "icudtl.dat" EXCLUDE
     PATTERN "url_launcher_windows_plugin.dll" EXCLUDE)
file(COPY ${BUILD}/app/app_links_plugin.dll DESTINATION ${work}/ui_missing)
file(WRITE ${work}/ui_missing/desktop_multi_window_plugin.dll "text")
file(COPY_FILE /usr/share/nsis/Plugins/x86-unicode/System.dll ${work}/ui_missing/legacy.dll)
file(CREATE_LINK ${ui}/data/app.so ${work}/ui_missing/data/flutter_assets/linked.json SYMBOLIC)
configure(${work}/missing ${work}/ui_missing)
foreach(problem "missing file: url_launcher_windows_plugin.dll" "missing file: data/icudtl.dat"
                "app_links_plugin.dll is a test stand-in" "legacy.dll is not a 64-bit"
                "desktop_multi_window_plugin.dll is not a 64-bit"
                "data/flutter_assets/linked.json is a symbolic link")
  check(output MATCHES "${problem}")
endforeach()
check(rc GREATER 0)
file(COPY ${ui}/ DESTINATION ${work}/ui_short)
list(GET defs 0 engine_def)
def_source(${engine_def} FlutterDesktopMessengerSend text)
make_dll(${work}/ui_short/flutter_windows.dll "${text}")
make_dll(${work}/elsewhere/nowhere.dll "__declspec(dllexport) void nowhere_function(void) {}\n")
list(GET defs 2 plugin_def)
def_source(${plugin_def} "" text)
make_dll(${work}/ui_short/desktop_multi_window_plugin.dll
         "${text}__declspec(dllimport) void nowhere_function(void);\nvoid f(void) { nowhere_function(); }\n"
         ${work}/elsewhere/nowhere.dll)
configure(${work}/short ${work}/ui_short)
check(output MATCHES "flutter_windows.dll does not export FlutterDesktopMessengerSend\n")
check(output MATCHES "desktop_multi_window_plugin.dll imports nowhere.dll, which is neither")
check(rc GREATER 0)

# The bundle from the UI build, signed. A sign command that fails stops the build, naming the file.
set(real ${work}/real)
configure(${real} ${ui} "-DORVANE_SIGN_COMMAND=${CMAKE_COMMAND} -E false")
check(output MATCHES "Generating done")
execute_process(COMMAND ${CMAKE_COMMAND} --build ${real} --target bundle
                RESULT_VARIABLE rc OUTPUT_VARIABLE output ERROR_VARIABLE output)
check(output MATCHES "Signing[ \n]+[^ \n]*/app/orvane.exe[ \n]+failed")
check(rc GREATER 0)
set(sign "${SOURCE}/scripts/sign-osslsigncode.sh ${certificate} ${key}")
configure(${real} ${ui} "-DORVANE_SIGN_COMMAND=${sign}")
execute_process(COMMAND ${CMAKE_COMMAND} --build ${real} --target bundle RESULT_VARIABLE rc
                OUTPUT_QUIET)
check(rc EQUAL 0)
# What an earlier install left in the bundle folder goes.
file(WRITE ${real}/bundle/stale.dll "left by an earlier install")
execute_process(COMMAND ${CMAKE_COMMAND} --install ${real} --component runtime
                RESULT_VARIABLE rc OUTPUT_QUIET)
check(rc EQUAL 0)
file(COPY ${real}/app/orvane.exe DESTINATION ${work}/expected)
file(COPY ${ui}/ DESTINATION ${work}/expected PATTERN "orvane_ui.exe" EXCLUDE)
expect_same_files(${real}/bundle ${work}/expected)
signature(${real}/bundle/orvane.exe bundle_signature)
check(bundle_signature STREQUAL ours)
execute_process(COMMAND cpack -G ZIP -B ${real}/package WORKING_DIRECTORY ${real}
                RESULT_VARIABLE rc OUTPUT_QUIET)
file(GLOB zips RELATIVE ${real}/package ${real}/package/*.zip)
string(JOIN " " zips ${zips})
check(zips STREQUAL "Orvane-${VERSION}-win64-debug.zip Orvane-${VERSION}-win64.zip")
file(MAKE_DIRECTORY ${work}/unzipped)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${real}/package/Orvane-${VERSION}-win64.zip
                WORKING_DIRECTORY ${work}/unzipped)
expect_same_files(${work}/unzipped ${work}/expected)
signature(${work}/unzipped/orvane.exe zip_signature)
check(zip_signature STREQUAL ours)

# The UI build changed after configuring: a library replaced by a text file, a link added. The
# install (and so cpack) checks the files it packs, and refuses.
file(RENAME ${ui}/app_links_plugin.dll ${work}/app_links_plugin.dll)
file(WRITE ${ui}/app_links_plugin.dll "text")
file(CREATE_LINK ${ui}/data/app.so ${ui}/data/flutter_assets/linked.json SYMBOLIC)
# A prefix other than the build's bundle folder is never emptied.
file(WRITE ${work}/changed/own.txt "not the build's")
execute_process(COMMAND ${CMAKE_COMMAND} --install ${real} --prefix ${work}/changed
                RESULT_VARIABLE rc OUTPUT_VARIABLE output ERROR_VARIABLE output)
check(EXISTS ${work}/changed/own.txt)
check(output MATCHES "app_links_plugin.dll is not a 64-bit")
check(output MATCHES "data/flutter_assets/linked.json is a symbolic link")
check(rc GREATER 0)
file(REMOVE ${ui}/app_links_plugin.dll ${ui}/data/flutter_assets/linked.json)
file(RENAME ${work}/app_links_plugin.dll ${ui}/app_links_plugin.dll)

# Installers: the UI build's, signed, as an older version; the stand-ins' as the newer one, with
# the build's own package names (an older package in the folder must not hide a wrong name).
execute_process(COMMAND cpack -G NSIS -R 1.0.0.0 -B ${work}/older WORKING_DIRECTORY ${real}
                RESULT_VARIABLE rc OUTPUT_QUIET)
check(rc EQUAL 0)
set(older ${work}/older/Orvane-${VERSION}-win64-setup.exe)
signature(${older} older_signature)
check(older_signature STREQUAL ours)
# The installer and the uninstaller in it say what they are.
file(STRINGS ${older} record ENCODING UTF-16LE REGEX "^(Orvane|1\\.0\\.0\\.0|Orvane installer)$")
list(REMOVE_DUPLICATES record)
list(SORT record)
list(JOIN record "|" record)
check(record STREQUAL "1.0.0.0|Orvane|Orvane installer")
# A failing sign command stops the packaging.
file(WRITE ${work}/failing.cmake "message(FATAL_ERROR \"Signing \${FILE} failed\")")
execute_process(COMMAND cpack -G NSIS -B ${work}/failing
                        -D CPACK_ORVANE_SIGN_SCRIPT=${work}/failing.cmake
                WORKING_DIRECTORY ${real} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
check(rc GREATER 0)

execute_process(COMMAND cpack -B ${work}/newer WORKING_DIRECTORY ${BUILD} RESULT_VARIABLE rc
                OUTPUT_QUIET)
check(rc EQUAL 0)
file(GLOB packages RELATIVE ${work}/newer ${work}/newer/*.*)
string(JOIN " " packages ${packages})
set(base Orvane-${VERSION}-win64-standin)
check(packages STREQUAL "${base}-debug.zip ${base}-setup.exe ${base}.zip")
set(newer ${work}/newer/${base}-setup.exe)
file(MAKE_DIRECTORY ${work}/newer_tree)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${work}/newer/${base}.zip
                WORKING_DIRECTORY ${work}/newer_tree)
# Without the setting, nothing is signed.
if(NOT SIGNED)
  signature(${BUILD}/app/orvane.exe unsigned)
  signature(${newer} newer_signature)
  string(APPEND unsigned " ${newer_signature}")
  check(unsigned STREQUAL "none none")
endif()

# --- Under Wine --------------------------------------------------------------------------------
set(run ${env} ${BUILD}/wine-run.sh)
set(running ${env} bash ${SOURCE}/cmake/tests/running_orvane.sh)

# now(VAR): seconds since the epoch, to the millisecond.
macro(now var)
  string(TIMESTAMP ${var} "%s%f" UTC)
  math(EXPR ${var} "${${var}} / 1000")
endmacro()
macro(report what start)
  now(end)
  math(EXPR ms "${end} - ${start}")
  message(STATUS "${what}: ${ms} ms")
endmacro()

# setup(INSTALLER RC): runs INSTALLER silently, its exit code in RC; its log starts empty. Each
# installer or uninstaller run has 2 minutes: one that waits for a click fails instead of hanging.
set(limit TIMEOUT 120)
macro(setup installer rc_var)
  file(REMOVE ${log})
  execute_process(COMMAND ${run} ${installer} /S RESULT_VARIABLE ${rc_var} ${limit})
endmacro()

execute_process(COMMAND ${run} reg query HKCU OUTPUT_QUIET)  # the prefix, made untimed
now(start)
execute_process(COMMAND ${run} ${older} /S RESULT_VARIABLE rc ${limit})
report("installing (older, signed)" ${start})
check(rc EQUAL 0)
file(GLOB home LIST_DIRECTORIES true ${prefix}/drive_c/users/*/AppData)
get_filename_component(log ${home}/../Temp/Orvane-setup.log ABSOLUTE)
set(installed ${home}/Local/Programs/Orvane)
set(shortcut "${home}/Roaming/Microsoft/Windows/Start Menu/Programs/Orvane.lnk")
set(key "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane")
execute_process(COMMAND ${run} reg query ${key} OUTPUT_VARIABLE values)
string(REGEX MATCH "InstallLocation +REG_SZ +([^\r\n]+)" location "${values}")
set(location ${CMAKE_MATCH_1})
set(uninstaller ${location}\\Uninstall.exe)
signature(${installed}/Uninstall.exe uninstaller_signature)
check(uninstaller_signature STREQUAL ours)
file(STRINGS ${installed}/Uninstall.exe record ENCODING UTF-16LE REGEX "^Orvane installer$")
check(record STREQUAL "Orvane installer")
file(WRITE ${installed}/data/notes.txt "the user's")

# An earlier version whose uninstaller fails keeps every file, and its entry.
file(RENAME ${installed}/Uninstall.exe ${work}/Uninstall.exe)
file(COPY_FILE ${BUILD}/tools/close_window.exe ${installed}/Uninstall.exe)  # exits with 1
setup(${newer} rc)
check(rc GREATER 0)
execute_process(COMMAND ${run} reg query ${key} OUTPUT_VARIABLE values)
check(values MATCHES "DisplayVersion +REG_SZ +1.0.0.0")
file(COPY_FILE ${installed}/Uninstall.exe ${work}/expected/Uninstall.exe)
expect_same_files(${installed} ${work}/expected data/notes.txt)
file(RENAME ${work}/Uninstall.exe ${installed}/Uninstall.exe)

# The upgrade, then the same from an installation whose uninstaller is gone: no file of the older
# version is left, the user's stays.
now(start)
setup(${newer} rc)
report("installing over an earlier version" ${start})
check(rc EQUAL 0)
expect_same_files(${installed} ${work}/newer_tree Uninstall.exe data/notes.txt)
setup(${older} rc)
check(rc EQUAL 0)
file(REMOVE ${installed}/Uninstall.exe)
setup(${newer} rc)
check(rc EQUAL 0)
expect_same_files(${installed} ${work}/newer_tree Uninstall.exe data/notes.txt)

file(READ ${shortcut} link HEX)
string(HEX "orvane.exe" target)
check(link MATCHES "${target}")
execute_process(COMMAND ${run} reg query ${key} OUTPUT_VARIABLE values)
set(location_pattern "C:\\\\users\\\\[^\\\\]+\\\\AppData\\\\Local\\\\Programs\\\\Orvane")
foreach(value "DisplayName +REG_SZ +Orvane\r?\n" "DisplayVersion +REG_SZ +${VERSION}\r?\n"
              "Publisher +REG_SZ +Orvane\r?\n"
              "DisplayIcon +REG_SZ +${location_pattern}\\\\orvane.exe,0"
              "InstallLocation +REG_SZ +${location_pattern}\r?\n"
              "UninstallString +REG_SZ +\"${location_pattern}\\\\Uninstall.exe\"")
  check(values MATCHES "${value}")
endforeach()
# The size in KiB: more than the executable alone, far less than the bundle's bytes.
string(REGEX MATCH "EstimatedSize +REG_DWORD +0x([0-9a-f]+)" size "${values}")
math(EXPR size "0x${CMAKE_MATCH_1}")
file(SIZE ${installed}/orvane.exe low)
math(EXPR low "${low} / 1024")
check(size GREATER low AND size LESS 16384)
set(installed_values "${values}")

# Everything as installed: files, shortcut, entry.
macro(expect_untouched)
  expect_same_files(${installed} ${work}/newer_tree Uninstall.exe data/notes.txt)
  check(EXISTS "${shortcut}")
  execute_process(COMMAND ${run} reg query ${key} OUTPUT_VARIABLE values)
  check(values STREQUAL "${installed_values}")
endmacro()

# Orvane running: the installer closes it (exit code 0) and installs; here over an installation
# without its uninstaller, so that no uninstaller closes it for the installer.
set(exe ${location}\\orvane.exe)
set(exit_code ${work}/orvane.rc)
# closed(START): Orvane ended with exit code 0; how long after START.
macro(closed start)
  execute_process(COMMAND ${running} wait ${exit_code} OUTPUT_VARIABLE orvane_rc)
  string(REGEX MATCH "^([0-9]+) ([0-9]+)" orvane_rc "${orvane_rc}")
  check(CMAKE_MATCH_1 EQUAL 0)
  math(EXPR ms "${CMAKE_MATCH_2} - ${start}")
endmacro()
execute_process(COMMAND ${running} start ${exit_code} ${exe} 1 OUTPUT_QUIET RESULT_VARIABLE rc)
check(rc EQUAL 0)
file(REMOVE ${installed}/Uninstall.exe)
now(start)
setup(${newer} rc)
report("closing a running Orvane and installing" ${start})
check(rc EQUAL 0)
closed(${start})
message(STATUS "  of which closing Orvane: ${ms} ms")
expect_same_files(${installed} ${work}/newer_tree Uninstall.exe data/notes.txt)

# Orvane that cannot close (its process stopped): the installer and the uninstaller give up after
# waiting, changing nothing; let go, it then closes on the request they left.
execute_process(COMMAND ${running} start ${exit_code} ${exe} 1 OUTPUT_VARIABLE pid)
string(STRIP "${pid}" pid)
set(stopped ${pid})
execute_process(COMMAND kill -STOP ${pid})
setup(${newer} rc)
check(rc GREATER 0)
expect_untouched()
execute_process(COMMAND ${run} ${uninstaller} /S "_?=${location}" RESULT_VARIABLE rc ${limit})
check(rc GREATER 0)
expect_untouched()
file(READ ${log} why)
check(why MATCHES "Orvane is still running from .*Programs.Orvane and did not close")
execute_process(COMMAND kill -CONT ${pid})
set(stopped "")
closed(0)

# Another program using a file of the installation (an orvane.exe elsewhere that loads installed
# libraries, all but the first one): the uninstaller removes nothing, and says which file.
file(COPY ${installed}/orvane.exe ${installed}/app_links_plugin.dll
     DESTINATION ${prefix}/drive_c/elsewhere)
set(holder ${env} WINEPATH=${location} bash ${SOURCE}/cmake/tests/running_orvane.sh)
execute_process(COMMAND ${holder} start ${exit_code} C:\\elsewhere\\orvane.exe 1 OUTPUT_QUIET)
file(REMOVE ${log})
execute_process(COMMAND ${run} ${uninstaller} /S "_?=${location}" RESULT_VARIABLE rc ${limit})
check(rc GREATER 0)
expect_untouched()
file(READ ${log} why)
check(why MATCHES "desktop_multi_window_plugin.dll cannot be removed")
execute_process(COMMAND ${run} ${BUILD}/tools/close_window.exe RESULT_VARIABLE rc)
closed(0)

# Uninstalling while Orvane runs: it is closed, and everything goes but the user's file.
execute_process(COMMAND ${running} start ${exit_code} ${exe} 1 OUTPUT_QUIET)
now(start)
execute_process(COMMAND ${run} ${uninstaller} /S RESULT_VARIABLE rc ${limit})
# It runs on from a copy of itself; the prefix's server ends when it has (and never while Orvane
# runs on).
execute_process(COMMAND ${env} wineserver -w TIMEOUT 60 RESULT_VARIABLE idle)
check(idle EQUAL 0)
report("closing a running Orvane and uninstalling (until the prefix is idle)" ${start})
check(rc EQUAL 0)
closed(${start})
message(STATUS "  of which closing Orvane: ${ms} ms")
files_below(${installed} left)
check(left STREQUAL "data/notes.txt")
check(NOT EXISTS "${shortcut}")
execute_process(COMMAND ${run} reg query ${key} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
check(rc GREATER 0)

# A file that cannot be written (a folder in its place) fails the installer, named.
file(WRITE ${installed}/data/app.so/inside "in the way")
setup(${newer} rc)
check(rc GREATER 0)
file(READ ${log} why)
check(why MATCHES "data.app.so could not be written")

# An entry naming a folder without Orvane or its uninstaller (a shared folder whose Orvane files
# are gone): installing there leaves the other programs' libraries alone.
file(WRITE ${prefix}/drive_c/shared/other_program.dll "another program's")
execute_process(COMMAND ${run} reg add ${key} /v InstallLocation /d C:\\shared /f OUTPUT_QUIET)
setup(${newer} rc)
check(rc EQUAL 0)
check(EXISTS ${prefix}/drive_c/shared/other_program.dll)
execute_process(COMMAND ${env} wineserver -k)
clear_work()  # a failed run leaves it all to look at
