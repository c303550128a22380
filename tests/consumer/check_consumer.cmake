# Run with cmake -P: installs BUILD_DIR into a prefix under SCRATCH, builds the project in
# project/ with the installed package and the GENERATOR given, and checks what a build tool
# must get right: the bytes, a clean source tree, and what is rebuilt after which change.
cmake_minimum_required(VERSION 3.25)

foreach(required BUILD_DIR SOURCE_DIR SCRATCH GENERATOR)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "${required} is not set")
  endif()
endforeach()
if(GENERATOR STREQUAL "Ninja")
  find_program(NINJA ninja)
  if(NOT NINJA)
    message("SKIPPED: ninja is not installed")
    return()
  endif()
endif()

set(prefix "${SCRATCH}/prefix")
set(source "${SCRATCH}/source")
set(binary "${SCRATCH}/binary")
set(reference "${SCRATCH}/reference")
file(REMOVE_RECURSE "${SCRATCH}")
file(COPY "${CMAKE_CURRENT_LIST_DIR}/project/" DESTINATION "${source}")
file(COPY "${CMAKE_CURRENT_LIST_DIR}/project/" DESTINATION "${reference}")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${log}")
  endif()
  set(log "${log}" PARENT_SCOPE)
endfunction()

# The scripts compiled by the build, in the order the build names them.
function(build expected)
  run(${CMAKE_COMMAND} --build "${binary}")
  string(REGEX MATCHALL "Compiling PELM script [^\n]*" lines "${log}")
  string(REPLACE "Compiling PELM script " "" compiled "${lines}")
  list(SORT compiled)
  if(NOT "${compiled}" STREQUAL "${expected}")
    message(FATAL_ERROR "${GENERATOR}: compiled '${compiled}', expected '${expected}':\n${log}")
  endif()
endfunction()

function(set_writable writable)
  if(writable)
    set(mode OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE)
  else()
    set(mode OWNER_READ OWNER_EXECUTE GROUP_READ GROUP_EXECUTE)
  endif()
  file(GLOB_RECURSE entries LIST_DIRECTORIES true "${source}/*")
  foreach(entry IN LISTS entries)
    if(IS_DIRECTORY "${entry}")
      file(CHMOD "${entry}" PERMISSIONS ${mode})
    else()
      file(CHMOD "${entry}" FILE_PERMISSIONS OWNER_READ GROUP_READ)
    endif()
  endforeach()
  file(CHMOD "${source}" PERMISSIONS ${mode})
endfunction()

# Changes a source as an editor would: the build that wrote the outputs has ended by now.
function(touch_later file)
  set_writable(TRUE)
  file(TOUCH "${file}")
  set_writable(FALSE)
endfunction()

run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")
set_writable(FALSE)
file(GLOB_RECURSE tree_before LIST_DIRECTORIES true RELATIVE "${source}" "${source}/*")

run(${CMAKE_COMMAND} -S "${source}" -B "${binary}" -G "${GENERATOR}"
    "-DCMAKE_PREFIX_PATH=${prefix}")
build("scripts/main.pmp;scripts/sub/report.pmp")

# The same bytes as pelc run by hand in each script's folder.
foreach(script main sub/report)
  get_filename_component(folder "${reference}/scripts/${script}" DIRECTORY)
  get_filename_component(name "${script}" NAME)
  run("${prefix}/bin/pelc" -N "-I${reference}/common" -DLIMIT=3 "${name}.pmp"
      WORKING_DIRECTORY "${folder}")
  file(SHA256 "${folder}/${name}.pml" expected)
  file(SHA256 "${binary}/pml/scripts/${script}.pml" built)
  if(NOT built STREQUAL expected)
    message(FATAL_ERROR "${GENERATOR}: pml/scripts/${script}.pml differs from pelc -N")
  endif()
endforeach()

build("")
touch_later("${source}/common/defs.pmp")
build("scripts/main.pmp;scripts/sub/report.pmp")
touch_later("${source}/scripts/sub/report.pmp")
build("scripts/sub/report.pmp")

file(GLOB_RECURSE tree_after LIST_DIRECTORIES true RELATIVE "${source}" "${source}/*")
if(NOT tree_after STREQUAL tree_before)
  message(FATAL_ERROR "${GENERATOR}: the build wrote into the source tree: ${tree_after}")
endif()
set_writable(TRUE)

# A dependency file names paths with a blank, '$' and '#' so that make reads each as one file:
# up to date after the run, out of date once the include changes.
if(GENERATOR STREQUAL "Unix Makefiles")
  set(odd "${SCRATCH}/odd dir $x #1")
  file(COPY "${CMAKE_CURRENT_LIST_DIR}/project/scripts/sub/report.pmp"
            "${CMAKE_CURRENT_LIST_DIR}/project/common/defs.pmp" DESTINATION "${odd}")
  run("${prefix}/bin/pelc" -N "--depfile=${odd}/deps.d" report.pmp WORKING_DIRECTORY "${odd}")
  file(WRITE "${odd}/Makefile" "include deps.d\n%.pml:\n\t@:\n")
  execute_process(COMMAND make -q WORKING_DIRECTORY "${odd}" RESULT_VARIABLE fresh)
  file(TOUCH "${odd}/defs.pmp")
  execute_process(COMMAND make -q WORKING_DIRECTORY "${odd}" RESULT_VARIABLE stale)
  if(NOT fresh EQUAL 0 OR NOT stale EQUAL 1)
    message(FATAL_ERROR "make read the dependency file wrongly: ${fresh} after the run, "
                        "${stale} after touching the include (expected 0, then 1)")
  endif()
endif()
