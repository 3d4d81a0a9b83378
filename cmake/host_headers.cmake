# The header-only libraries of the build host (nlohmann/json, CLI11) for a cross build. Their
# packages' CMake files would put the host's whole include folder on the target's include path, so
# only their own folders are offered, through a folder of links in the build tree.
set(VELMARO_HOST_INCLUDE /usr/include CACHE PATH "Where the host's header-only libraries live")
set(host_headers ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${host_headers})
foreach(pair "nlohmann;nlohmann/json.hpp;nlohmann_json::nlohmann_json" "CLI;CLI/CLI.hpp;CLI11::CLI11")
    list(GET pair 0 folder)
    list(GET pair 1 probe)
    list(GET pair 2 target)
    if(NOT EXISTS ${VELMARO_HOST_INCLUDE}/${probe})
        message(FATAL_ERROR "${VELMARO_HOST_INCLUDE}/${probe} not found: install nlohmann-json3-dev and libcli11-dev")
    endif()
    file(CREATE_LINK ${VELMARO_HOST_INCLUDE}/${folder} ${host_headers}/${folder} SYMBOLIC)
    add_library(${target} INTERFACE IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${host_headers})
endforeach()
