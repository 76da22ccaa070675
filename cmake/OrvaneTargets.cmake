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

# orvane_copy_beside(TEST ITEM...): copies stand-in libraries (target names, which may be defined
# later) and files (absolute paths) into the folder of the test program TEST, and again whenever
# one of them is rebuilt or changed, so that a test never runs against an old copy.
function(orvane_copy_beside test)
  if(NOT TARGET ${test})
    return()
  endif()
  set(sources)
  foreach(item IN LISTS ARGN)
    if(IS_ABSOLUTE ${item})
      list(APPEND sources ${item})
    else()
      list(APPEND sources $<TARGET_FILE:${item}>)
    endif()
  endforeach()
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${test}_copies.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${sources} $<TARGET_FILE_DIR:${test}>
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${ARGN} VERBATIM)
  add_custom_target(${test}_copies DEPENDS ${stamp})
  add_dependencies(${test} ${test}_copies)
endfunction()
