# The ZIP of a Windows build: bin/pelc.exe, the manual page as text and the user documents.
# Included from packaging.cmake in place of the Debian package.

# Windows has no man, so the page goes in rendered as plain text.
find_program(PELC_NROFF nroff)
find_program(PELC_COL col)
if(PELC_NROFF AND PELC_COL)
  set(PELC_MANUAL_TEXT ${CMAKE_CURRENT_BINARY_DIR}/pelc.txt)
  add_custom_command(
    OUTPUT ${PELC_MANUAL_TEXT}
    COMMAND sh -c "${PELC_NROFF} -man -Tascii '${CMAKE_CURRENT_SOURCE_DIR}/docs/pelc.1' | ${PELC_COL} -bx > '${PELC_MANUAL_TEXT}'"
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/docs/pelc.1
    COMMENT "Rendering the manual page as text"
    VERBATIM)
  add_custom_target(pelc_manual_text ALL DEPENDS ${PELC_MANUAL_TEXT})
  install(FILES ${PELC_MANUAL_TEXT} DESTINATION ${CMAKE_INSTALL_DOCDIR})
else()
  message(WARNING "nroff or col not found: the ZIP gets the manual page's source instead")
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/docs/pelc.1 DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

file(GLOB PELC_USER_DOCUMENTS ${CMAKE_CURRENT_SOURCE_DIR}/docs/*.md)
install(FILES ${PELC_USER_DOCUMENTS} ${CMAKE_CURRENT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Only pelc and its manual go in: packing must not build the benchmarks and
# fuzz targets, which are made for POSIX systems.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(CPACK_GENERATOR "ZIP")
set(CPACK_PACKAGE_NAME "pelc")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The pelc developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Compiler of structured PELM source into flat PELM script")
set(CPACK_SYSTEM_NAME "win64")
set(CPACK_STRIP_FILES ON)
include(CPack)
