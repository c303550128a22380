# Fails when a file under src/ includes a folder of a higher layer, naming the
# file and the include. Run as: cmake -DSOURCE_DIR=<checkout>/src -P check_layers.cmake

# Lowest first. A folder may include itself and the folders of lower layers;
# folders of one layer (joined by "|") include neither each other nor above.
set(layers "base" "diag|paths" "source" "preproc" "ir" "parser" "codegen" "driver")

if(NOT IS_DIRECTORY "${SOURCE_DIR}")
  message(FATAL_ERROR "SOURCE_DIR='${SOURCE_DIR}' is no directory")
endif()

set(rank 0)
foreach(layer IN LISTS layers)
  string(REPLACE "|" ";" folders "${layer}")
  foreach(folder IN LISTS folders)
    set(rank_of_${folder} ${rank})
  endforeach()
  math(EXPR rank "${rank} + 1")
endforeach()

file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
list(SORT files)
set(violations 0)
foreach(path IN LISTS files)
  string(REGEX MATCH "^[^/]+" folder "${path}")
  if(folder STREQUAL path OR NOT DEFINED rank_of_${folder})
    message(SEND_ERROR "src/${path}: its folder belongs to no layer")
    math(EXPR violations "${violations} + 1")
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/${path}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" included "${line}")
    # A name without a folder is beside the including file.
    if(NOT included MATCHES "/")
      continue()
    endif()
    string(REGEX MATCH "^[^/]+" target "${included}")
    if(target STREQUAL folder)
      continue()
    endif()
    if(NOT DEFINED rank_of_${target} OR NOT rank_of_${target} LESS rank_of_${folder})
      message(SEND_ERROR "src/${path}: #include \"${included}\": ${folder}/ may not include ${target}/")
      math(EXPR violations "${violations} + 1")
    endif()
  endforeach()
endforeach()

if(violations GREATER 0)
  message(FATAL_ERROR "${violations} include(s) against the layers")
endif()
