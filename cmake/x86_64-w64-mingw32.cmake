# A 64-bit build of the library, its tests and its benchmark, for machines
# whose kernel runs no 32-bit code at all (and so no 32-bit Wine): the same
# sources run under 64-bit Wine against the same Wine DLLs. The library that
# ships is the 32-bit build (cmake/i686-w64-mingw32.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORVEXC_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER   ${ORVEXC_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVEXC_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${ORVEXC_TRIPLE}-windres)
set(CMAKE_AR           ${ORVEXC_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB       ${ORVEXC_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${ORVEXC_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
