# Title modules for the Microsoft ABI: clang-cl, linked by lld-link against
# OrvexC.lib (Debian and Ubuntu: clang, lld, llvm). OrvexC.h includes
# <windows.h>, so give the compiler a Windows SDK, one of:
#   -DORVEXC_MSVC_INCLUDE="<SDK um;shared;ucrt;MSVC include>" -DORVEXC_MSVC_LIB="<their x86 lib folders>"
#   -DORVEXC_MSVC_WINE=/usr   Wine's development files (Debian: libwine-dev:i386,
#                             or that package unpacked with dpkg-deb -x: <folder>/usr)
# or nothing in a Developer Command Prompt, whose INCLUDE and LIB say where.
#   cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=<SDK>/share/orvexc/toolchains/i686-pc-windows-msvc-clang-cl.cmake ...
# With -DORVEXC_MSVC_NO_CRT=ON a module links no C runtime and takes its C
# functions from OrvexC.dll alone (guide, "Modules without a C runtime"); it
# keeps kernel32, user32 and gdi32.
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
set(ORVEXC_MSVC_WINE "" CACHE PATH "Wine's development files as the Windows SDK: the folder holding include/wine")
option(ORVEXC_MSVC_NO_CRT "Link no C runtime: the C functions come from OrvexC.dll" OFF)
# The compiler checks read this file again in projects of their own.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORVEXC_MSVC_INCLUDE ORVEXC_MSVC_LIB ORVEXC_MSVC_WINE
     ORVEXC_MSVC_NO_CRT)
set(_orvexc_include ${ORVEXC_MSVC_INCLUDE})
set(_orvexc_lib ${ORVEXC_MSVC_LIB})
set(_orvexc_link "/machine:x86 /manifest:no")
set(_orvexc_flags "")
if(ORVEXC_MSVC_WINE)
  # Wine's headers, and its import libraries under the .lib names the
  # compiler and CMake ask for (no oldnames.lib there: an empty one).
  set(_orvexc_wine_lib "${ORVEXC_MSVC_WINE}/lib/i386-linux-gnu/wine/i386-windows")
  list(APPEND _orvexc_include "${ORVEXC_MSVC_WINE}/include/wine/wine/windows"
       "${ORVEXC_MSVC_WINE}/include/wine/wine/msvcrt")
  set(_orvexc_libs "${CMAKE_BINARY_DIR}/orvexc-wine-lib")
  file(GLOB _orvexc_archives "${_orvexc_wine_lib}/lib*.a")
  file(MAKE_DIRECTORY "${_orvexc_libs}")
  foreach(archive ${_orvexc_archives})
    get_filename_component(_orvexc_name "${archive}" NAME)
    string(REGEX REPLACE "^lib(.*)\\.a$" "\\1.lib" _orvexc_name "${_orvexc_name}")
    file(CREATE_LINK "${archive}" "${_orvexc_libs}/${_orvexc_name}" SYMBOLIC)
  endforeach()
  if(NOT EXISTS "${_orvexc_libs}/oldnames.lib")
    file(WRITE "${_orvexc_libs}/oldnames.lib" "!<arch>\n")
  endif()
  list(APPEND _orvexc_lib "${_orvexc_libs}")
  # Wine's C runtime is msvcrt.dll's, release only, with no stack cookie
  # (/GS) or run-time checks (/RTC); its start-up objects carry no safe
  # exception handler table, and a DLL's start-up is winecrt0's.
  # Its headers describe msvcrt.dll's functions (the ones OrvexC.dll
  # forwards to) with _MSVCR_VER=0, ucrtbase.dll's otherwise.
  string(APPEND _orvexc_link " /safeseh:no")
  set(_orvexc_flags " /D_MSVCR_VER=0")
  if(NOT ORVEXC_MSVC_NO_CRT)
    string(APPEND _orvexc_flags " /GS-")
    set(_orvexc_module_link " /defaultlib:winecrt0 /entry:DllMainCRTStartup")
    set(CMAKE_MSVC_RUNTIME_LIBRARY MultiThreadedDLL)
    set(CMAKE_USER_MAKE_RULES_OVERRIDE ${CMAKE_CURRENT_LIST_DIR}/orvexc-no-rtc.cmake)
  endif()
elseif(NOT ORVEXC_MSVC_INCLUDE AND DEFINED ENV{INCLUDE})
  set(_orvexc_include "$ENV{INCLUDE}")  # a Developer Command Prompt's; clang-cl reads LIB itself
endif()

# A module cannot build without <windows.h>: say so now, with the fix.
set(_orvexc_windows_h "")
foreach(dir ${_orvexc_include})
  if(EXISTS "${dir}/windows.h" OR EXISTS "${dir}/Windows.h")
    set(_orvexc_windows_h "${dir}")
  endif()
endforeach()
if(NOT _orvexc_windows_h)
  message(FATAL_ERROR "OrvexC: no windows.h in ORVEXC_MSVC_INCLUDE (\"${_orvexc_include}\"). Give the Windows "
    "SDK's folders: -DORVEXC_MSVC_INCLUDE=\"<Windows Kits>/10/Include/<version>/um;.../shared;.../ucrt;"
    "<MSVC>/include\" -DORVEXC_MSVC_LIB=\"<Windows Kits>/10/Lib/<version>/um/x86;.../ucrt/x86;<MSVC>/lib/x86\", "
    "or on Debian and Ubuntu Wine's (apt install libwine-dev:i386): -DORVEXC_MSVC_WINE=/usr, "
    "or configure in a Developer Command Prompt.")
endif()

foreach(dir ${_orvexc_include})
  string(APPEND _orvexc_flags " /imsvc \"${dir}\"")
endforeach()
foreach(dir ${_orvexc_lib})
  string(APPEND _orvexc_link " /libpath:\"${dir}\"")
endforeach()
if(ORVEXC_MSVC_NO_CRT)
  # No C runtime: neither its libraries (/Zl, /nodefaultlib) nor its DLL
  # entry, its stack checks (/GS-) or run-time checks (/RTC); the Windows
  # import libraries stay.
  # The printf family as OrvexC.dll exports it, not as inline wrappers of
  # the runtime's internals (_NO_CRT_STDIO_INLINE).
  string(APPEND _orvexc_flags " /GS- /Zl /D_NO_CRT_STDIO_INLINE")
  set(_orvexc_module_link " /nodefaultlib /noentry")
  set(CMAKE_MSVC_RUNTIME_LIBRARY "")
  set(CMAKE_C_STANDARD_LIBRARIES "kernel32.lib user32.lib gdi32.lib" CACHE STRING "")
  set(CMAKE_CXX_STANDARD_LIBRARIES "kernel32.lib user32.lib gdi32.lib" CACHE STRING "")
  set(CMAKE_USER_MAKE_RULES_OVERRIDE ${CMAKE_CURRENT_LIST_DIR}/orvexc-no-rtc.cmake)
endif()
set(CMAKE_C_FLAGS_INIT "${_orvexc_flags}")
set(CMAKE_CXX_FLAGS_INIT "${_orvexc_flags}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_orvexc_link}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_orvexc_link}${_orvexc_module_link}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_orvexc_link}${_orvexc_module_link}")
