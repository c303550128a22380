# Installs the build into a scratch prefix and runs the installed compiler there.
add_test(NAME install/prefix
         COMMAND ${CMAKE_COMMAND}
                 -DBUILD_DIR=${CMAKE_BINARY_DIR}
                 -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
                 -DSCRATCH=${CMAKE_CURRENT_BINARY_DIR}/install-test
                 -P ${CMAKE_CURRENT_LIST_DIR}/check_install.cmake)
