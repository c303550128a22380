# pelc_add_scripts(TARGET <name> SOURCES <file.pmp>... [INCLUDE_DIRS <dir>...]
#                  [DEFINES <NAME[=VALUE]>...] [OPTIONS <flag>...] [OUTPUT_DIRECTORY <dir>])
#
# One build step per source: pelc runs in the folder that holds the source and is given the
# file's name, so the output holds the same bytes as `cd folder && pelc -N name` (the #line
# markers and generated names depend on the path as typed). Outputs go under OUTPUT_DIRECTORY
# (default: the current binary folder) in the sources' own layout, nothing is written beside
# the sources, and a dependency file per output tells the build which includes it read.
function(pelc_add_scripts)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "TARGET;OUTPUT_DIRECTORY"
                        "SOURCES;INCLUDE_DIRS;DEFINES;OPTIONS")
  if(NOT arg_TARGET OR NOT arg_SOURCES)
    message(FATAL_ERROR "pelc_add_scripts: TARGET and SOURCES are required")
  endif()
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "pelc_add_scripts: unknown arguments: ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT arg_OUTPUT_DIRECTORY)
    set(arg_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
  endif()
  get_filename_component(output_root "${arg_OUTPUT_DIRECTORY}" ABSOLUTE
                         BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")

  set(flags -N)
  foreach(dir IN LISTS arg_INCLUDE_DIRS)
    get_filename_component(dir "${dir}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND flags "-I${dir}")
  endforeach()
  foreach(definition IN LISTS arg_DEFINES)
    list(APPEND flags "-D${definition}")
  endforeach()
  list(APPEND flags ${arg_OPTIONS})

  set(outputs)
  foreach(source IN LISTS arg_SOURCES)
    get_filename_component(source "${source}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    get_filename_component(folder "${source}" DIRECTORY)
    get_filename_component(name "${source}" NAME)
    get_filename_component(stem "${source}" NAME_WE)
    file(RELATIVE_PATH relative_folder "${CMAKE_CURRENT_SOURCE_DIR}" "${folder}")
    set(output_folder "${output_root}/${relative_folder}")
    set(output "${output_folder}/${stem}.pml")
    add_custom_command(
      OUTPUT "${output}"
      COMMAND "${CMAKE_COMMAND}" -E make_directory "${output_folder}"
      COMMAND pelc::pelc ${flags} "--output=${output}" "--depfile=${output}.d" "${name}"
      WORKING_DIRECTORY "${folder}"
      DEPENDS "${source}" pelc::pelc
      DEPFILE "${output}.d"
      COMMENT "Compiling PELM script ${relative_folder}/${name}"
      VERBATIM)
    list(APPEND outputs "${output}")
  endforeach()
  add_custom_target(${arg_TARGET} ALL DEPENDS ${outputs})
endfunction()
