# orvane_import_library(TARGET name DEF file.def DLL name.dll)
# Makes an IMPORTED library for a DLL from a .def file that lists its exports, so that the
# executable links against a library we do not build (MinGW dlltool; MSVC lib /def:).
function(orvane_import_library)
  cmake_parse_arguments(L "" "TARGET;DEF;DLL" "" ${ARGN})
  set(implib ${CMAKE_CURRENT_BINARY_DIR}/lib${L_TARGET}.dll.a)
  if(MSVC)
    set(implib ${CMAKE_CURRENT_BINARY_DIR}/${L_TARGET}.lib)
    add_custom_command(OUTPUT ${implib}
      COMMAND lib /nologo /machine:x64 /def:${L_DEF} /name:${L_DLL} /out:${implib}
      DEPENDS ${L_DEF} VERBATIM)
  else()
    add_custom_command(OUTPUT ${implib}
      COMMAND ${CMAKE_DLLTOOL} --input-def ${L_DEF} --dllname ${L_DLL} --output-lib ${implib}
      DEPENDS ${L_DEF} VERBATIM)
  endif()
  add_custom_target(${L_TARGET}_implib DEPENDS ${implib})
  add_library(${L_TARGET} UNKNOWN IMPORTED GLOBAL)
  set_target_properties(${L_TARGET} PROPERTIES IMPORTED_LOCATION ${implib})
  add_dependencies(${L_TARGET} ${L_TARGET}_implib)
endfunction()
