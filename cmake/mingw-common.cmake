# Shared by the toolchain files. TARNWICK_THREADS picks the MinGW-w64 compilers' thread model:
# "win32" for the product (one thread: no posix-thread runtime linked into the exe), "posix" for the
# test build (GoogleTest and the end-to-end tests' listener need std::mutex and std::thread).
if(NOT TARNWICK_THREADS)
  set(TARNWICK_THREADS win32)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TARNWICK_THREADS)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TARNWICK_TRIPLET}-gcc-${TARNWICK_THREADS})
set(CMAKE_CXX_COMPILER ${TARNWICK_TRIPLET}-g++-${TARNWICK_THREADS})
set(CMAKE_RC_COMPILER ${TARNWICK_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TARNWICK_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Test binaries run through Wine with the project's private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
