# The header-only packages (CLI11, nlohmann_json) in a cross build: their headers
# are the same for every target, but their CMake files name /usr/include, which
# would put the host's C library ahead of the target's. Here each gets a config
# file of its own over a folder that holds only its headers, found through
# CMAKE_FIND_ROOT_PATH.
set(root ${PROJECT_BINARY_DIR}/cross-packages)
foreach(entry "CLI11;CLI11::CLI11;CLI" "nlohmann_json;nlohmann_json::nlohmann_json;nlohmann")
  list(GET entry 0 package)
  list(GET entry 1 target)
  list(GET entry 2 headers)
  if(NOT EXISTS /usr/include/${headers})
    message(FATAL_ERROR "/usr/include/${headers} is missing: install the host's ${package} package")
  endif()
  file(MAKE_DIRECTORY ${root}/include/${package})
  if(NOT EXISTS ${root}/include/${package}/${headers})
    file(CREATE_LINK /usr/include/${headers} ${root}/include/${package}/${headers} SYMBOLIC)
  endif()
  file(WRITE ${root}/lib/cmake/${package}/${package}Config.cmake
    "if(NOT TARGET ${target})\n"
    "  add_library(${target} INTERFACE IMPORTED)\n"
    "  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES\n"
    "    ${root}/include/${package})\n"
    "endif()\n")
  file(WRITE ${root}/lib/cmake/${package}/${package}ConfigVersion.cmake
    "set(PACKAGE_VERSION 3.99)\nset(PACKAGE_VERSION_COMPATIBLE TRUE)\n")
endforeach()
list(APPEND CMAKE_FIND_ROOT_PATH ${root})
