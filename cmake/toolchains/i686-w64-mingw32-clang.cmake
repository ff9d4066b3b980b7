# Title modules with Clang for 32-bit mingw-w64 Windows, linked by lld, with
# the mingw-w64 headers and libraries (Debian and Ubuntu: clang, lld,
# mingw-w64-i686-dev, gcc-mingw-w64-i686-posix for libgcc):
#   cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=<SDK>/share/orvexc/toolchains/i686-w64-mingw32-clang.cmake
# C modules; the host kit is a mingw-w64 GCC library, so its tests are built
# with the GCC toolchain file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
find_program(CMAKE_C_COMPILER NAMES clang REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES clang++ REQUIRED)
set(CMAKE_C_COMPILER_TARGET i686-w64-windows-gnu)
set(CMAKE_CXX_COMPILER_TARGET i686-w64-windows-gnu)
find_program(CMAKE_RC_COMPILER NAMES i686-w64-mingw32-windres llvm-windres windres)
include(${CMAKE_CURRENT_LIST_DIR}/orvexc-sdk.cmake)
# Debian's mingw-w64 GCC keeps libgcc where Clang does not look for it.
find_program(ORVEXC_MINGW_GCC NAMES i686-w64-mingw32-gcc-posix i686-w64-mingw32-gcc)
if(ORVEXC_MINGW_GCC)
  execute_process(COMMAND ${ORVEXC_MINGW_GCC} -print-libgcc-file-name OUTPUT_VARIABLE _orvexc_libgcc
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(_orvexc_libgcc_dir "${_orvexc_libgcc}" DIRECTORY)
  set(_orvexc_libgcc_dir "-L${_orvexc_libgcc_dir}")
endif()
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-fuse-ld=lld -static-libgcc ${_orvexc_libgcc_dir}")
endforeach()
