# Title modules with mingw-w64 GCC for 32-bit Windows (Debian and Ubuntu:
# g++-mingw-w64-i686-posix), the compiler OrvexC.dll itself is built with:
#   cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=<SDK>/share/orvexc/toolchains/i686-w64-mingw32-gcc.cmake
# find_package(OrvexC) then finds the SDK this file belongs to.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
find_program(CMAKE_C_COMPILER NAMES i686-w64-mingw32-gcc-posix i686-w64-mingw32-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES i686-w64-mingw32-g++-posix i686-w64-mingw32-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES i686-w64-mingw32-windres windres)
include(${CMAKE_CURRENT_LIST_DIR}/orvexc-sdk.cmake)
# Modules and tests need no DLL of the compiler's at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
