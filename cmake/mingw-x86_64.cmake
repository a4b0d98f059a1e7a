# The same sources as 64-bit Windows binaries, for test runs on hosts that cannot start 32-bit
# processes (a kernel without IA-32 emulation cannot run Wine's 32-bit loader).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TARNWICK_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
