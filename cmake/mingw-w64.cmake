# The part both Windows toolchains share: the posix-thread mingw-w64 compilers
# of TAMRIX_TRIPLE, and Wine (through scripts/wine-run) to run what they build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${TAMRIX_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAMRIX_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${TAMRIX_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TAMRIX_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
