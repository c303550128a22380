# Installation of the manual page and the user documents, and the Debian package built by CPack;
# the Windows build gets a ZIP instead (packaging_windows.cmake).
# The binary's own install rule sits beside its target in the top-level CMakeLists.txt.

include(GNUInstallDirs)

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/packaging_windows.cmake)
  return()
endif()

install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/docs/pelc.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/docs/language.md
              ${CMAKE_CURRENT_SOURCE_DIR}/docs/messages.md
              ${CMAKE_CURRENT_SOURCE_DIR}/docs/building.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The CMake package: find_package(pelc CONFIG) gives pelc::pelc and pelc_add_scripts().
include(CMakePackageConfigHelpers)
set(PELC_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/pelc)
install(EXPORT pelcTargets NAMESPACE pelc:: DESTINATION ${PELC_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/pelcConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/cmake/package/pelcConfig.cmake
              ${CMAKE_CURRENT_SOURCE_DIR}/cmake/package/pelcScripts.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/pelcConfigVersion.cmake
        DESTINATION ${PELC_CMAKE_DIR})

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "pelc")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The pelc developers")
set(CPACK_PACKAGE_CONTACT "pelc developers <pelc-dev@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Compiler of structured PELM source into flat PELM script")
set(CPACK_PACKAGE_DESCRIPTION
    "pelc translates structured PELM source (.pmp files with IF/ELSE, WHILE, DO, FOR, SWITCH, \
ARRAY initialisers, macros, conditional compilation and include files) into flat PELM \
script (.pml files) made of one-line IF tests, GOTO jumps and numbered labels. One run \
compiles a file and every file it reaches through CHAIN and DOSUB.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "pelc")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "devel")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Runtime dependencies (the C++ runtime) come from the binary itself when dpkg-shlibdeps exists.
find_program(PELC_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(PELC_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6")
endif()

include(CPack)
