# A 64-bit build of the library, its tests and its benchmark, for machines
# whose kernel runs no 32-bit code at all (and so no 32-bit Wine): the same
# sources run under 64-bit Wine against the same Wine DLLs. The library that
# ships is the 32-bit build (cmake/i686-w64-mingw32.cmake).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORVEXC_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
