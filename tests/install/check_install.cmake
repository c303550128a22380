# Run with cmake -P: installs BUILD_DIR into a prefix under SCRATCH, then checks the installed
# files and compiles a small program with the installed bin/pelc.
cmake_minimum_required(VERSION 3.25)

foreach(required BUILD_DIR SOURCE_DIR SCRATCH)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "${required} is not set")
  endif()
endforeach()

set(prefix "${SCRATCH}/prefix")
set(work "${SCRATCH}/work")
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${work}")

execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}):\n${log}")
endif()

set(pelc "${prefix}/bin/pelc")
set(manual "${prefix}/share/man/man1/pelc.1")
foreach(installed "${pelc}" "${manual}" "${prefix}/share/doc/pelc/language.md"
                  "${prefix}/share/doc/pelc/messages.md")
  if(NOT EXISTS "${installed}")
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()
file(SHA256 "${manual}" installed_manual)
file(SHA256 "${SOURCE_DIR}/docs/pelc.1" source_manual)
if(NOT installed_manual STREQUAL source_manual)
  message(FATAL_ERROR "the installed manual page differs from docs/pelc.1")
endif()

# A loop, so that the run exercises the translation and not only the copy of plain lines.
file(WRITE "${work}/prog.pmp" "x = 0\nWHILE (x < 3)\n{\n    x = x + 1\n}\n")
execute_process(COMMAND "${pelc}" -X prog.pmp WORKING_DIRECTORY "${work}"
                RESULT_VARIABLE status OUTPUT_VARIABLE printed ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT "${printed}" STREQUAL "prog.pmp:\n" OR NOT "${errors}" STREQUAL "")
  message(FATAL_ERROR "installed pelc: status ${status}, printed '${printed}', errors '${errors}'")
endif()
# Compared as hexadecimal: a plain file(READ) would not show whether the line ends are CR LF.
file(READ "${work}/prog.pml" output HEX)
string(CONCAT expected "x = 0\r\n" "GOTO PML1\r\n" ":PML2\r\n" "    x = x + 1\r\n" ":PML1\r\n"
       "IF (x<3)\r\n" "    GOTO PML2\r\n")
string(HEX "${expected}" expected)
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "installed pelc wrote (hex):\n${output}\nexpected:\n${expected}")
endif()

file(REMOVE_RECURSE "${SCRATCH}")
