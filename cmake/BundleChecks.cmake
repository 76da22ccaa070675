# The checks of what goes into the bundle, in one place: run on the UI build's folder when
# configuring (UiBuild.cmake) and again on the very files being installed or packed
# (Packaging.cmake), so that a file changed after configuring cannot slip into a package.
# Usable from a project and from an install script: it needs OBJDUMP (the toolchain's objdump;
# empty with Visual Studio, where dumpbin reads the files).
cmake_policy(VERSION 3.20)  # also when an install script includes it
include(${CMAKE_CURRENT_LIST_DIR}/DefFile.cmake)

# The libraries of Windows itself that a packed binary may import; any other DLL must be packed.
set(ORVANE_SYSTEM_LIBRARIES
    advapi32 bcrypt combase comctl32 comdlg32 crypt32 d2d1 d3d11 d3d12 d3d9 d3dcompiler_47
    dbghelp dcomp dwmapi dwrite dxgi gdi32 gdiplus imm32 iphlpapi kernel32 kernelbase msimg32
    msvcrt ncrypt ntdll ole32 oleacc oleaut32 opengl32 powrprof propsys psapi rpcrt4 secur32
    setupapi shcore shell32 shlwapi ucrtbase uiautomationcore urlmon user32 userenv uxtheme version
    windowscodecs winhttp wininet winmm winspool ws2_32 wtsapi32)
# ...and the API sets that Windows resolves to its own libraries.
set(ORVANE_SYSTEM_LIBRARY_PATTERN "^(api|ext)-ms-win-.*\\.dll$")

# orvane_parse_pe_dump(TEXT PREFIX): from objdump -p or dumpbin /headers /dependents /exports
# output, sets PREFIX_X64 (a 64-bit x86 image), PREFIX_EXPORTS (names, forwarded ones included)
# and PREFIX_IMPORTS (the DLLs it loads, lower case).
function(orvane_parse_pe_dump text prefix)
  # One list element a line; brackets and semicolons would bend the list apart.
  string(REGEX REPLACE "[\r;]" "" text "${text}")
  string(REPLACE "[" "<" text "${text}")
  string(REPLACE "]" ">" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(x64 FALSE)
  set(exports)
  set(imports)
  set(section "")  # the table being read: names (objdump), dependencies or exports (dumpbin)
  set(blank_ends TRUE)  # dumpbin's tables begin after a blank line of their own
  foreach(line IN LISTS lines)
    if(line STREQUAL "")
      if(blank_ends)
        set(section "")
      endif()
      set(blank_ends TRUE)
    elseif(line MATCHES "file format pei-x86-64$" OR line MATCHES "^ +8664 machine \\(x64\\)$")
      set(x64 TRUE)
    elseif(line MATCHES "^\tDLL Name: (.+)$")  # objdump: import and delay-import tables
      list(APPEND imports "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^<Ordinal/Name Pointer> Table")
      set(section names)
    elseif(line MATCHES "Image has the following (delay load )?dependencies:$")
      set(section dependencies)
      set(blank_ends FALSE)
    elseif(line MATCHES "^ +ordinal +hint +RVA +name$")
      set(section exports)
      set(blank_ends FALSE)
    elseif(section STREQUAL "names" AND line MATCHES "^\t< *[0-9]+> ([^ ]+)$")
      list(APPEND exports "${CMAKE_MATCH_1}")
    elseif(section STREQUAL "dependencies" AND line MATCHES "^ +([^ ]+)$")
      list(APPEND imports "${CMAKE_MATCH_1}")
    # "ordinal hint RVA name", or without the RVA: "ordinal hint name (forwarded to ...)".
    elseif(section STREQUAL "exports"
           AND line MATCHES "^ +[0-9]+ +[0-9A-F]+ +([0-9A-F]+ +)?([^ ]+)")
      list(APPEND exports "${CMAKE_MATCH_2}")
    endif()
  endforeach()
  string(TOLOWER "${imports}" imports)
  set(${prefix}_X64 ${x64} PARENT_SCOPE)
  set(${prefix}_EXPORTS "${exports}" PARENT_SCOPE)
  set(${prefix}_IMPORTS "${imports}" PARENT_SCOPE)
endfunction()

# orvane_read_pe(FILE PREFIX): orvane_parse_pe_dump of FILE's headers; not an image: no x64.
function(orvane_read_pe file prefix)
  if(OBJDUMP)
    execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE dump RESULT_VARIABLE rc
                    ERROR_QUIET)
  else()
    find_program(ORVANE_DUMPBIN dumpbin REQUIRED)
    execute_process(COMMAND ${ORVANE_DUMPBIN} /nologo /headers /dependents /exports ${file}
                    OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
  endif()
  if(NOT rc EQUAL 0)
    set(dump "")
  endif()
  orvane_parse_pe_dump("${dump}" pe)
  foreach(part X64 EXPORTS IMPORTS)
    set(${prefix}_${part} "${pe_${part}}" PARENT_SCOPE)
  endforeach()
endfunction()

# orvane_glob_escape(PATH OUT): PATH for the start of a glob pattern, its [, ], * and ? taken
# literally (a folder named "build [2]" would otherwise match nothing, and its checks see no file).
function(orvane_glob_escape path out)
  string(REGEX REPLACE "([][*?])" "[\\1]" path "${path}")
  set(${out} "${path}" PARENT_SCOPE)
endfunction()

# orvane_check_bundle(DIR OUT [UI_BUILD] [NO_STANDINS] DEFS def... DATA file...): the problems,
# one line each, of the bundle laid out in DIR: a symbolic link anywhere; a binary at the top that
# is no 64-bit image or imports a DLL that is neither beside it nor Windows' own; a library of a
# .def file missing or short of one of its functions; a data file missing; with NO_STANDINS, a
# library of our stand-ins. UI_BUILD: DIR is the UI build's folder, whose executables are not
# packed.
function(orvane_check_bundle dir out)
  cmake_parse_arguments(C "UI_BUILD;NO_STANDINS" "" "DEFS;DATA" ${ARGN})
  set(problems)
  orvane_glob_escape("${dir}" pattern)
  file(GLOB_RECURSE links LIST_DIRECTORIES true RELATIVE ${dir} ${pattern}/*)
  foreach(file IN LISTS links)
    if(IS_SYMLINK ${dir}/${file})
      list(APPEND problems "${file} is a symbolic link; put the file itself there")
    endif()
  endforeach()
  file(GLOB binaries RELATIVE ${dir} ${pattern}/*.dll ${pattern}/*.exe)
  file(GLOB libraries RELATIVE ${dir} ${pattern}/*.dll)
  string(TOLOWER "${libraries}" present)
  foreach(binary IN LISTS binaries)
    if(C_UI_BUILD AND binary MATCHES "\\.exe$")
      continue()
    endif()
    orvane_read_pe(${dir}/${binary} pe)
    if(NOT pe_X64)
      list(APPEND problems "${binary} is not a 64-bit Windows binary")
      continue()
    endif()
    set(binary_${binary}_exports "${pe_EXPORTS}")
    foreach(import IN LISTS pe_IMPORTS)
      string(REGEX REPLACE "\\.dll$" "" name "${import}")
      if(NOT import IN_LIST present AND NOT name IN_LIST ORVANE_SYSTEM_LIBRARIES
         AND NOT import MATCHES "${ORVANE_SYSTEM_LIBRARY_PATTERN}")
        list(APPEND problems "${binary} imports ${import}, which is neither packed nor part of Windows")
      endif()
    endforeach()
    if(C_NO_STANDINS)
      # Our stand-ins export the same functions; what gives them away is the record they keep
      # (testing/engine/standin_record.h). A folder of ours (a windows build's bundle) must not ship.
      file(STRINGS ${dir}/${binary} standin REGEX "ORVANE_STANDIN_RECORD" ENCODING UTF-16LE
           LIMIT_COUNT 1)
      if(standin)
        list(APPEND problems "${binary} is a test stand-in, not the UI build's")
      endif()
    endif()
  endforeach()
  foreach(def IN LISTS C_DEFS)
    get_filename_component(name ${def} NAME_WE)
    if(NOT EXISTS ${dir}/${name}.dll)
      list(APPEND problems "missing file: ${name}.dll")
    elseif(DEFINED binary_${name}.dll_exports)
      orvane_def_symbols(${def} symbols)
      foreach(symbol IN LISTS symbols)
        if(NOT symbol IN_LIST binary_${name}.dll_exports)
          list(APPEND problems "${name}.dll does not export ${symbol}")
        endif()
      endforeach()
    endif()
  endforeach()
  foreach(file IN LISTS C_DATA)
    if(NOT EXISTS ${dir}/${file})
      list(APPEND problems "missing file: ${file}")
    endif()
  endforeach()
  set(${out} "${problems}" PARENT_SCOPE)
endfunction()
