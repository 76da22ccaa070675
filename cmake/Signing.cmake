# Code signing: ORVANE_SIGN_COMMAND signs, in place, the file whose path is appended as its last
# argument (signtool on Windows, scripts/sign-osslsigncode.sh here; see the README). When set, the
# executable is signed right after it is stripped (ShippedBinaries.cmake), and the installer and
# the uninstaller it writes as makensis finishes them (Packaging.cmake). The UI build's libraries
# are packed as they come: whoever built them signs them. Empty: nothing is signed.
set(ORVANE_SIGN_COMMAND "" CACHE STRING
    "Command that signs the file whose path it gets as its last argument (empty: no signing)")

# ORVANE_SIGN_SCRIPT: a script that signs the file -DFILE=<path> names and fails naming it; empty
# when nothing is signed.
set(ORVANE_SIGN_SCRIPT "")
if(ORVANE_SIGN_COMMAND)
  separate_arguments(argv NATIVE_COMMAND "${ORVANE_SIGN_COMMAND}")
  set(quoted "")
  foreach(arg IN LISTS argv)
    string(APPEND quoted " [==[${arg}]==]")
  endforeach()
  set(ORVANE_SIGN_SCRIPT ${CMAKE_BINARY_DIR}/sign.cmake)
  file(CONFIGURE OUTPUT ${ORVANE_SIGN_SCRIPT} @ONLY CONTENT [[
# Made by Signing.cmake from ORVANE_SIGN_COMMAND: cmake -DFILE=<path> -P sign.cmake
execute_process(COMMAND @quoted@ ${FILE} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "Signing ${FILE} failed (${rc})")
endif()
]])
endif()
