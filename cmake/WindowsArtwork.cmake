# The Windows program's tile bitmaps and icon, drawn at build time by the artwork
# generator (ui/resources/make_artwork.cpp). It is a Qt program, and Qt is there
# for the machine that builds, not for Windows: it is built apart as a project of
# its own with that machine's compiler and Qt, then run on the offscreen platform.
#
# include() it (any number of times) and it gives the caller's scope:
#   FIFTEEN_ARTWORK_DIR    the folder of tiles.bmp tiles@1.5x.bmp tiles@2x.bmp
#                          tiles@3x.bmp fifteen.ico and artwork.rc
#   FIFTEEN_ARTWORK_FILES  those six files
#   fifteen_windows_artwork                the target that makes them
#   fifteen_use_windows_artwork(target)    for a target whose .rc files
#                          #include "artwork.rc": the folder on the include path,
#                          made first, and the resources rebuilt when it changes
# artwork.rc names them by the fixed resource identifiers (103 the icon, 104 the
# 256x256 tiles, 105-107 the tiles at 1.5, 2 and 3 times the size).
set(FIFTEEN_ARTWORK_DIR ${PROJECT_BINARY_DIR}/artwork)
set(FIFTEEN_ARTWORK_FILES "")
foreach(name tiles.bmp tiles@1.5x.bmp tiles@2x.bmp tiles@3x.bmp fifteen.ico artwork.rc)
  list(APPEND FIFTEEN_ARTWORK_FILES ${FIFTEEN_ARTWORK_DIR}/${name})
endforeach()

function(fifteen_use_windows_artwork target)
  target_include_directories(${target} PRIVATE ${FIFTEEN_ARTWORK_DIR})
  add_dependencies(${target} fifteen_windows_artwork)
  # windres reports no dependencies: the bitmaps are named to the build by hand.
  get_target_property(sources ${target} SOURCES)
  foreach(source ${sources})
    if(source MATCHES "\\.rc$")
      set_property(SOURCE ${source} APPEND PROPERTY OBJECT_DEPENDS ${FIFTEEN_ARTWORK_FILES})
    endif()
  endforeach()
endfunction()

if(TARGET fifteen_windows_artwork)
  return()
endif()

# Written when the build is configured (only when its text changes): it is fixed.
file(CONFIGURE OUTPUT ${FIFTEEN_ARTWORK_DIR}/artwork.rc CONTENT [[
103 ICON "fifteen.ico"
104 BITMAP "tiles.bmp"
105 BITMAP "tiles@1.5x.bmp"
106 BITMAP "tiles@2x.bmp"
107 BITMAP "tiles@3x.bmp"
]])

include(ExternalProject)
set(host_build ${PROJECT_BINARY_DIR}/artwork-generator)
set(generator ${host_build}/fifteen_make_artwork)
set(host_args -DCMAKE_BUILD_TYPE=Release)
find_program(FIFTEEN_HOST_CCACHE ccache)
if(FIFTEEN_HOST_CCACHE)
  list(APPEND host_args -DCMAKE_CXX_COMPILER_LAUNCHER=${FIFTEEN_HOST_CCACHE})
endif()
# Built on every build (a no-op when nothing changed), so an edit of the
# generator redraws the artwork; the drawing reruns only when its binary changes.
ExternalProject_Add(fifteen_artwork_generator
  SOURCE_DIR ${PROJECT_SOURCE_DIR}/ui/resources
  BINARY_DIR ${host_build}
  CMAKE_ARGS ${host_args}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${generator}
  EXCLUDE_FROM_ALL ON)

list(REMOVE_ITEM FIFTEEN_ARTWORK_FILES ${FIFTEEN_ARTWORK_DIR}/artwork.rc)
add_custom_command(OUTPUT ${FIFTEEN_ARTWORK_FILES}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
    ${generator} --windows ${FIFTEEN_ARTWORK_DIR}
  DEPENDS fifteen_artwork_generator ${generator}
  COMMENT "Drawing the Windows tile bitmaps and icon"
  VERBATIM)
list(APPEND FIFTEEN_ARTWORK_FILES ${FIFTEEN_ARTWORK_DIR}/artwork.rc)
add_custom_target(fifteen_windows_artwork ALL DEPENDS ${FIFTEEN_ARTWORK_FILES})
