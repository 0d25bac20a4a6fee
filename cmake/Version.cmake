# Version and git revision, baked into generated/fifteen/version.h at configure time
# and refreshed on every build so --version names the revision actually built.
set(FIFTEEN_VERSION_HEADER ${PROJECT_BINARY_DIR}/generated/fifteen/version.h)
add_custom_target(fifteen_version
  COMMAND ${CMAKE_COMMAND}
          -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
          -DOUTPUT=${FIFTEEN_VERSION_HEADER}
          -DVERSION=${PROJECT_VERSION}
          -P ${PROJECT_SOURCE_DIR}/cmake/WriteVersion.cmake
  BYPRODUCTS ${FIFTEEN_VERSION_HEADER}
  COMMENT "Recording the git revision")
execute_process(COMMAND ${CMAKE_COMMAND}
  -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DOUTPUT=${FIFTEEN_VERSION_HEADER}
  -DVERSION=${PROJECT_VERSION} -P ${PROJECT_SOURCE_DIR}/cmake/WriteVersion.cmake)
