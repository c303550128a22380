# Installs the build into a scratch prefix and runs the installed compiler there.
add_test(NAME install/prefix
         COMMAND ${CMAKE_COMMAND}
                 -DBUILD_DIR=${CMAKE_BINARY_DIR}
                 -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
                 -DSCRATCH=${CMAKE_CURRENT_BINARY_DIR}/install-test
                 -P ${CMAKE_CURRENT_LIST_DIR}/check_install.cmake)

# A project that uses the installed CMake package, built with each generator.
foreach(generator IN ITEMS "Ninja" "Unix Makefiles")
  string(MAKE_C_IDENTIFIER "${generator}" name)
  add_test(NAME install/consumer-${name}
           COMMAND ${CMAKE_COMMAND}
                   -DBUILD_DIR=${CMAKE_BINARY_DIR}
                   -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
                   -DSCRATCH=${CMAKE_CURRENT_BINARY_DIR}/consumer-${name}
                   -DGENERATOR=${generator}
                   -P ${PROJECT_SOURCE_DIR}/tests/consumer/check_consumer.cmake)
  set_tests_properties(install/consumer-${name} PROPERTIES SKIP_REGULAR_EXPRESSION "SKIPPED:")
endforeach()
