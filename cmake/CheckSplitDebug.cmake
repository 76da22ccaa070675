# cmake -DOBJDUMP=... -DBINARIES="a.exe|b.dll" -P CheckSplitDebug.cmake
# Fails unless each shipped binary is stripped and linked to a NAME.debug beside it that holds its
# debug information: what a crash report needs to be symbolised.
string(REPLACE "|" ";" binaries "${BINARIES}")
foreach(binary IN LISTS binaries)
  execute_process(COMMAND ${OBJDUMP} -h ${binary} OUTPUT_VARIABLE shipped RESULT_VARIABLE rc)
  execute_process(COMMAND ${OBJDUMP} -h ${binary}.debug OUTPUT_VARIABLE kept)
  execute_process(COMMAND ${OBJDUMP} -t ${binary} OUTPUT_VARIABLE symbols)
  if(NOT rc EQUAL 0 OR shipped MATCHES "\\.debug_" OR NOT shipped MATCHES "\\.gnu_debuglink"
     OR symbols MATCHES "\\[ *[0-9]+\\]" OR NOT kept MATCHES "\\.debug_info")
    message(FATAL_ERROR "${binary}: not stripped, not linked, or its .debug file is missing")
  endif()
  message(STATUS "${binary}: stripped, debug information in ${binary}.debug")
endforeach()
