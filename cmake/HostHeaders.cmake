# Header-only libraries from Debian's host packages for a target built by Emscripten, whose
# C++ library lacks what they give: each library's own folder is linked into a folder of the
# build that holds it alone, as the host's include directory would shadow Emscripten's C
# library.
function(lineq_host_headers target scope)
    set(host_headers ${CMAKE_BINARY_DIR}/host_include)
    file(MAKE_DIRECTORY ${host_headers})
    foreach(library ${ARGN})
        find_path(${library}_include_dir ${library} PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
                  NO_DEFAULT_PATH REQUIRED)
        file(CREATE_LINK ${${library}_include_dir}/${library} ${host_headers}/${library} SYMBOLIC)
    endforeach()
    target_include_directories(${target} SYSTEM ${scope} ${host_headers})
endfunction()

# JSON for the window's logic and the page (nlohmann-json, header only), as lineq-solve writes
# it: linked as `lineq_json`.
function(lineq_add_json)
    if(TARGET lineq_json)
        return()
    endif()
    add_library(lineq_json INTERFACE)
    if(EMSCRIPTEN)
        lineq_host_headers(lineq_json INTERFACE nlohmann)
    else()
        find_package(nlohmann_json 3.11 REQUIRED)
        target_link_libraries(lineq_json INTERFACE nlohmann_json::nlohmann_json)
    endif()
endfunction()
