# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads, so that
# std::thread and OpenMP have winpthread beneath them). Each .exe is linked
# statically (libgcc, libstdc++, libgomp, winpthread) and needs only system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(FIFTEEN_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FIFTEEN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FIFTEEN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${FIFTEEN_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FIFTEEN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# FindOpenMP would take the import library of libgomp-1.dll: the archive instead.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libgomp.a
  OUTPUT_VARIABLE FIFTEEN_STATIC_GOMP OUTPUT_STRIP_TRAILING_WHITESPACE)
set(OpenMP_gomp_LIBRARY ${FIFTEEN_STATIC_GOMP} CACHE FILEPATH "libgomp, linked statically")

# ctest (and the test discovery) run the .exe files under Wine, through a script
# that keeps Wine quiet, away from the user's prefix and free of installer prompts.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
