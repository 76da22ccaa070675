# cmake -DTREE=<install tree> -DOUT=<file> -P file_list.cmake
# Run by makensis as it makes the installer (NSIS.template.in): writes the macros that walk the
# install tree, so that each file is written, checked and removed on its own:
#   ORVANE_FOR_FILES M   !insertmacro M "<path with \>" "<path with />" for each file
#   ORVANE_FOR_DIRS M    the same for each folder, parents first
#   ORVANE_FOR_DIRS_BACK M    the same for each folder, deepest first
cmake_minimum_required(VERSION 3.20)
string(REGEX REPLACE "([][*?])" "[\\1]" pattern "${TREE}")  # a build folder "x [2]" taken literally
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${TREE} ${pattern}/*)
file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${TREE} ${pattern}/*)
set(dirs ${entries})
if(files)
  list(REMOVE_ITEM dirs ${files})
endif()
list(SORT files)
list(SORT dirs)

function(walk name items out)
  set(text "!macro ${name} M\n")
  foreach(item IN LISTS items)
    # "$" is "$$" in the installed path, a run-time string; makensis takes the packed file's path
    # as it stands.
    string(REPLACE "$" "$$" windows "${item}")
    string(REPLACE "/" "\\" windows "${windows}")
    string(APPEND text "  !insertmacro \${M} \"${windows}\" \"${item}\"\n")
  endforeach()
  set(${out} "${text}!macroend\n" PARENT_SCOPE)
endfunction()

walk(ORVANE_FOR_FILES "${files}" text_files)
walk(ORVANE_FOR_DIRS "${dirs}" text_dirs)
list(REVERSE dirs)
walk(ORVANE_FOR_DIRS_BACK "${dirs}" text_back)
file(WRITE ${OUT} "${text_files}${text_dirs}${text_back}")
