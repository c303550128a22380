# find_package(pelc CONFIG): the imported compiler pelc::pelc and pelc_add_scripts().
include("${CMAKE_CURRENT_LIST_DIR}/pelcTargets.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/pelcScripts.cmake")
