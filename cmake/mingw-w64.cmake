# Cross build of a native pelc.exe for 64-bit Windows with mingw-w64:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DPELC_BUILD_TESTS=OFF
# The runtime is linked in statically, so pelc.exe runs on a bare Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PELC_MINGW_PREFIX x86_64-w64-mingw32)
# The -posix flavour: std::thread and std::mutex need its threads.
set(CMAKE_C_COMPILER ${PELC_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELC_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PELC_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PELC_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The JSON library is header-only, so the build machine's copy serves the target;
# its own package would put all of /usr/include, whose C library is not the
# target's, on the include path. It is offered through a folder of its own.
set(PELC_HOST_JSON ${CMAKE_BINARY_DIR}/host-json)
if(NOT EXISTS ${PELC_HOST_JSON}/nlohmann_jsonConfig.cmake AND EXISTS /usr/include/nlohmann)
  file(MAKE_DIRECTORY ${PELC_HOST_JSON}/include)
  file(CREATE_LINK /usr/include/nlohmann ${PELC_HOST_JSON}/include/nlohmann SYMBOLIC)
  file(COPY /usr/share/cmake/nlohmann_json/nlohmann_jsonConfigVersion.cmake
       DESTINATION ${PELC_HOST_JSON})
  file(WRITE ${PELC_HOST_JSON}/nlohmann_jsonConfig.cmake
       "if(NOT TARGET nlohmann_json::nlohmann_json)\n"
       "  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)\n"
       "  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES\n"
       "    INTERFACE_INCLUDE_DIRECTORIES \"${PELC_HOST_JSON}/include\")\n"
       "endif()\n")
endif()
set(nlohmann_json_DIR ${PELC_HOST_JSON} CACHE PATH "The JSON library's package for the target")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
