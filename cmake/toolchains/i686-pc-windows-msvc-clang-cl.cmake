# Title modules for the Microsoft ABI: clang-cl, linked by lld-link against
# OrvexC.lib (Debian and Ubuntu: clang, lld, llvm):
#   cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=<SDK>/share/orvexc/toolchains/i686-pc-windows-msvc-clang-cl.cmake \
#         -DORVEXC_MSVC_INCLUDE="<Windows SDK and MSVC include folders>" \
#         -DORVEXC_MSVC_LIB="<Windows SDK and MSVC x86 library folders>"
# OrvexC.h includes <windows.h>: give the folders of a Windows SDK (and of
# the MSVC C runtime, unless ORVEXC_MSVC_NO_CRT is ON: then modules link no
# C runtime and take the C functions from OrvexC.dll alone).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR X86)
find_program(CMAKE_C_COMPILER NAMES clang-cl clang-cl-14 REQUIRED)
set(CMAKE_CXX_COMPILER ${CMAKE_C_COMPILER})
set(CMAKE_C_COMPILER_TARGET i686-pc-windows-msvc)
set(CMAKE_CXX_COMPILER_TARGET i686-pc-windows-msvc)
find_program(CMAKE_LINKER NAMES lld-link REQUIRED)
find_program(CMAKE_AR NAMES llvm-lib llvm-lib-14)
find_program(CMAKE_RC_COMPILER NAMES llvm-rc llvm-rc-14)
find_program(CMAKE_MT NAMES llvm-mt llvm-mt-14)
include(${CMAKE_CURRENT_LIST_DIR}/orvexc-sdk.cmake)
# The compiler checks compile only: linking needs the folders given below.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

set(ORVEXC_MSVC_INCLUDE "" CACHE STRING "Include folders of the Windows SDK and MSVC")
set(ORVEXC_MSVC_LIB "" CACHE STRING "x86 library folders of the Windows SDK and MSVC")
option(ORVEXC_MSVC_NO_CRT "Link no C runtime: the C functions come from OrvexC.dll" OFF)
set(_orvexc_flags "")
foreach(dir ${ORVEXC_MSVC_INCLUDE})
  string(APPEND _orvexc_flags " /imsvc \"${dir}\"")
endforeach()
set(_orvexc_link "/machine:x86 /manifest:no")
foreach(dir ${ORVEXC_MSVC_LIB})
  string(APPEND _orvexc_link " /libpath:\"${dir}\"")
endforeach()
if(ORVEXC_MSVC_NO_CRT)
  # Only the libraries a module names: OrvexC.lib, and what it adds itself.
  string(APPEND _orvexc_flags " /GS- /Zl")
  string(APPEND _orvexc_link " /nodefaultlib /noentry")
  set(CMAKE_C_STANDARD_LIBRARIES "" CACHE STRING "")
  set(CMAKE_CXX_STANDARD_LIBRARIES "" CACHE STRING "")
endif()
set(CMAKE_C_FLAGS_INIT "${_orvexc_flags}")
set(CMAKE_CXX_FLAGS_INIT "${_orvexc_flags}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_orvexc_link}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_orvexc_link}")
