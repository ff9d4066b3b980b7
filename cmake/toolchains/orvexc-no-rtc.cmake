# Read by CMake after its rules for clang-cl (CMAKE_USER_MAKE_RULES_OVERRIDE,
# set by i686-pc-windows-msvc-clang-cl.cmake under ORVEXC_MSVC_NO_CRT or
# with Wine's libraries): the run-time checks (/RTC1) need support functions
# of the MSVC C runtime, so the Debug configuration goes without them.
foreach(lang C CXX)
  string(REGEX REPLACE " */RTC[1csu]+" "" CMAKE_${lang}_FLAGS_DEBUG_INIT "${CMAKE_${lang}_FLAGS_DEBUG_INIT}")
endforeach()
