# Shared by the toolchain files: posix-thread MinGW-w64 compilers (GoogleTest needs std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TARNWICK_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARNWICK_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TARNWICK_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TARNWICK_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Test binaries run through Wine with the project's private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
