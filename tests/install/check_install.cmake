# Installs the build tree into an empty PREFIX and checks the result: exactly the
# files below, icons of the size their folder names, and programs that run from
# there and are the ones built.
#   cmake -DBUILD_DIR=<build> -DPREFIX=<tmp> -DWITH_UI=ON|OFF -DAPP_ID=<id>
#         -DBUILT_SOLVE=<build's fifteen-solve> [-DBUILT_UI=<build's fifteen>] -P check_install.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
  RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc})")
endif()

set(expected bin/fifteen-solve share/man/man1/fifteen-solve.1.gz share/doc/fifteen/copyright)
set(icon_sizes 16 24 32 48 64 128 256)
if(WITH_UI)
  list(APPEND expected bin/fifteen share/man/man1/fifteen.1.gz
    share/applications/${APP_ID}.desktop share/metainfo/${APP_ID}.metainfo.xml)
  foreach(size ${icon_sizes})
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
  endforeach()
endif()
file(GLOB_RECURSE installed RELATIVE ${PREFIX} ${PREFIX}/*)
set(missing ${expected})
list(REMOVE_ITEM missing ${installed})
set(unexpected ${installed})
list(REMOVE_ITEM unexpected ${expected})
if(missing OR unexpected)
  message(FATAL_ERROR "installed tree differs; missing: ${missing}; unexpected: ${unexpected}")
endif()

# A PNG's width and height are the big-endian words at bytes 16 and 20.
if(WITH_UI)
  foreach(size ${icon_sizes})
    set(icon ${PREFIX}/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
    file(READ ${icon} header OFFSET 16 LIMIT 8 HEX)
    string(SUBSTRING ${header} 0 8 width_hex)
    string(SUBSTRING ${header} 8 8 height_hex)
    math(EXPR width "0x${width_hex}")
    math(EXPR height "0x${height_hex}")
    if(NOT width EQUAL size OR NOT height EQUAL size)
      message(FATAL_ERROR "${icon} is ${width}x${height}")
    endif()
  endforeach()
endif()

# The installed programs print what the built ones print.
function(expect_same_version installed built)
  execute_process(COMMAND ${installed} --version OUTPUT_VARIABLE got RESULT_VARIABLE rc)
  execute_process(COMMAND ${built} --version OUTPUT_VARIABLE want)
  if(NOT rc EQUAL 0 OR NOT got STREQUAL want OR NOT got MATCHES "^fifteen")
    message(FATAL_ERROR "${installed} --version: '${got}' (${rc}), built: '${want}'")
  endif()
endfunction()
expect_same_version(${PREFIX}/bin/fifteen-solve ${BUILT_SOLVE})
if(WITH_UI)
  expect_same_version(${PREFIX}/bin/fifteen ${BUILT_UI})
endif()

# One move from the goal, replayed by the program itself (--verify).
execute_process(COMMAND ${PREFIX}/bin/fifteen-solve --format json --verify
  "1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15" OUTPUT_VARIABLE answer RESULT_VARIABLE rc)
string(JSON length ERROR_VARIABLE json_error GET "${answer}" length)
if(NOT rc EQUAL 0 OR NOT length EQUAL 1)
  message(FATAL_ERROR "installed fifteen-solve answered '${answer}' (${rc}) ${json_error}")
endif()
