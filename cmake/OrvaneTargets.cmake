# Shared settings for the project's own targets.

add_library(orvane_warnings INTERFACE)
if(MSVC)
  target_compile_options(orvane_warnings INTERFACE /W4 /WX)
else()
  target_compile_options(orvane_warnings INTERFACE -Wall -Wextra -Werror)
endif()

# orvane_test(NAME name SOURCES ... LIBRARIES ... [LABELS ...])
# One test program per call, run by CTest (under Wine in the windows build).
function(orvane_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBRARIES;LABELS" ${ARGN})
  if(ORVANE_TEST_LABELS)
    set(wanted FALSE)
    foreach(label IN LISTS T_LABELS)
      if(label IN_LIST ORVANE_TEST_LABELS)
        set(wanted TRUE)
      endif()
    endforeach()
    if(NOT wanted)
      return()
    endif()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBRARIES} orvane_warnings GTest::gtest_main
                                          GTest::gmock)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
  # A hung test must fail instead of stalling the whole run.
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 300)
endfunction()
