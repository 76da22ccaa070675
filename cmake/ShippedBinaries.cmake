# The binaries that go into the bundle, and their debug information.
#
# With ORVANE_SPLIT_DEBUG_INFO (the windows-release preset) everything is compiled with debug
# information, and right after linking each shipped binary gives it up to NAME.debug beside it
# and keeps only a debug link (file name and checksum) to that file. The symbol table goes with
# the debug sections (--strip-all): it is more than half of what --strip-debug would leave. The tests therefore run the
# very bytes that ship, and a crash report can still be symbolised: the install puts the .debug
# files in .debug/, where debuggers look for a linked file, and the release archive leaves them
# out (they get an archive of their own). Visual Studio keeps its PDBs instead.

option(ORVANE_SPLIT_DEBUG_INFO "Ship stripped binaries; their debug information goes apart" OFF)
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME runtime)
include(Signing)

# The build's own bundle folder (the presets' install prefix, which the demo runs) holds exactly
# the current install tree: what an earlier install left there goes first. Any other prefix may
# hold anything, and is left alone.
install(CODE "
  if(\"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\" STREQUAL [[${CMAKE_BINARY_DIR}/bundle]])
    file(REMOVE_RECURSE [[${CMAKE_BINARY_DIR}/bundle]])
  endif()" COMPONENT runtime)

if(ORVANE_SPLIT_DEBUG_INFO)
  if(MSVC)
    add_compile_options(/Z7)
    add_link_options(/DEBUG /OPT:REF /OPT:ICF)
  else()
    add_compile_options(-g)
  endif()
endif()

# orvane_ship(TARGET) installs the target's binary at the bundle's root (component runtime),
# with ORVANE_SPLIT_DEBUG_INFO splits off its debug information (component debug), and with
# ORVANE_SIGN_COMMAND signs it (last, so that every copy holds the signed bytes).
function(orvane_ship target)
  if(ORVANE_SIGN_SCRIPT AND NOT ARGN STREQUAL "UNSIGNED")
    set(sign COMMAND ${CMAKE_COMMAND} -DFILE=$<TARGET_FILE:${target}> -P ${ORVANE_SIGN_SCRIPT})
    # Signed again when the command changes.
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${ORVANE_SIGN_SCRIPT})
  endif()
  set_property(GLOBAL APPEND PROPERTY ORVANE_SHIPPED_TARGETS ${target})
  install(FILES $<TARGET_FILE:${target}> DESTINATION . COMPONENT runtime)
  if(NOT ORVANE_SPLIT_DEBUG_INFO OR MSVC)
    if(sign)
      add_custom_command(TARGET ${target} POST_BUILD ${sign} VERBATIM)
    endif()
    if(ORVANE_SPLIT_DEBUG_INFO)
      install(FILES $<TARGET_PDB_FILE:${target}> DESTINATION .debug COMPONENT debug)
    endif()
    return()
  endif()
  set(binary $<TARGET_FILE_NAME:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${binary} ${binary}.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${binary}.debug ${binary}
    ${sign}
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    COMMENT "Splitting the debug information off ${target}"
    VERBATIM)
  install(FILES $<TARGET_FILE:${target}>.debug DESTINATION .debug COMPONENT debug)
endfunction()

# orvane_ship_standin(TARGET): a stand-in for a library that the UI build provides, shipped only
# when there is no UI build (UiBuild.cmake), and unsigned as the UI build's are.
function(orvane_ship_standin target)
  if(NOT ORVANE_UI_BUILD_DIR)
    orvane_ship(${target} UNSIGNED)
  endif()
endfunction()

# The target `bundle` builds every shipped binary (the release build preset builds it, the
# executable tests and the tools, not every test program). Call once, after all orvane_ship calls.
function(orvane_bundle_target)
  get_property(targets GLOBAL PROPERTY ORVANE_SHIPPED_TARGETS)
  if(NOT targets)
    return()
  endif()
  add_custom_target(bundle DEPENDS ${targets})
  if(ORVANE_TESTS AND ORVANE_SPLIT_DEBUG_INFO AND NOT MSVC)
    set(binaries)
    foreach(target IN LISTS targets)
      list(APPEND binaries $<TARGET_FILE:${target}>)
    endforeach()
    string(JOIN "|" binaries ${binaries})
    add_test(NAME shipped_binaries_split
             COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DBINARIES=${binaries}
                     -P ${PROJECT_SOURCE_DIR}/cmake/CheckSplitDebug.cmake)
  endif()
endfunction()
