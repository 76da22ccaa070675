# orvane_def_symbols(DEF OUT): the names of the functions that a .def file lists as exports.
function(orvane_def_symbols def out)
  file(STRINGS ${def} symbols REGEX "^[ \t]+[A-Za-z_]")
  list(TRANSFORM symbols STRIP)
  set(${out} "${symbols}" PARENT_SCOPE)
endfunction()
