# A 64-bit build of the library and its benchmark, for timings on machines
# that run 32-bit code only emulated (scripts/bench.sh): the same sources
# under 64-bit Wine against the same Wine DLLs. The library that ships, and
# that every test runs, is the 32-bit build (cmake/i686-w64-mingw32.cmake).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORVEXC_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
# The public header refuses 64-bit modules; this build is no module.
set(CMAKE_C_FLAGS_INIT "-DORVEXC_BENCHMARK_64BIT")
set(CMAKE_CXX_FLAGS_INIT "-DORVEXC_BENCHMARK_64BIT")
