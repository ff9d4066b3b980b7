# orvexc_add_module_test(<name> SOURCES <src>... [MODULE <module-target>] [LIBRARIES <lib>...]
#                        [TIMEOUT <seconds>])
#
# A module's unit test in one call: builds the test program <name> from the
# sources, places OrvexC.dll, the host kit's DLLs and the module (when given)
# beside it, and registers it
# with CTest (call enable_testing() in the project's top folder first). Off
# Windows it runs under Wine (ORVEXC_WINE), inside `xvfb-run -a` when no
# DISPLAY is set at test time (ORVEXC_XVFB_RUN), since windows and menus need
# a display. Exit status 0 passes. A test that runs past TIMEOUT seconds
# (ORVEXC_TEST_TIMEOUT, 60 unless set) is stopped and fails; a module's fault
# is reported by the host kit, which keeps the system debugger out of it.
# A test in C links the host kit's C interface (OrvexC::HostKitC), with any
# toolchain; one in C++ links the C++ kit (OrvexC::HostKit), which mingw-w64
# GCC alone can link. Under the Microsoft ABI with ORVEXC_MSVC_NO_CRT the
# test, a program, still links the C runtime (msvcrt.lib); the module does not.
include_guard(GLOBAL)

set(ORVEXC_WINE "" CACHE FILEPATH "Wine, to run a module's tests off Windows (found when empty)")
set(ORVEXC_XVFB_RUN "" CACHE FILEPATH "xvfb-run, for tests run without a display (found when empty)")
set(ORVEXC_TEST_TIMEOUT 60 CACHE STRING "Seconds a module's host-kit test may run before CTest stops it")

function(orvexc_add_module_test name)
  cmake_parse_arguments(T "" "MODULE;TIMEOUT" "SOURCES;LIBRARIES" ${ARGN})
  if(NOT T_SOURCES)
    message(FATAL_ERROR "orvexc_add_module_test(${name}): give the test's SOURCES")
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT ${ORVEXC_TEST_TIMEOUT})
  endif()
  set(kit OrvexC::HostKitC)
  if(T_SOURCES MATCHES "\\.(cpp|cxx|cc|C)(;|$)")
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU" OR NOT TARGET OrvexC::HostKit)
      message(FATAL_ERROR "orvexc_add_module_test(${name}): a C++ test links the C++ host kit, which "
        "mingw-w64 GCC alone can link (this is ${CMAKE_CXX_COMPILER_ID}): configure with the toolchain file "
        "i686-w64-mingw32-gcc.cmake, or write the test in C on <OrvexC/hostkit.h>, which every toolchain builds")
    endif()
    set(kit OrvexC::HostKit)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${kit} ${T_LIBRARIES})
  if(ORVEXC_MSVC_ABI AND ORVEXC_MSVC_NO_CRT)
    target_link_libraries(${name} PRIVATE msvcrt)
  endif()
  get_filename_component(bin "${OrvexC_DLL}" DIRECTORY)
  set(beside "${OrvexC_DLL}" "${bin}/OrvexCHostKit.dll" "${bin}/ResourceManager.dll")
  if(T_MODULE)
    add_dependencies(${name} ${T_MODULE})
    list(APPEND beside "$<TARGET_FILE:${T_MODULE}>")
  endif()
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${beside} "$<TARGET_FILE_DIR:${name}>"
    COMMENT "OrvexC.dll, the host kit's DLLs and the module beside ${name}" VERBATIM)

  if(CMAKE_HOST_WIN32)
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY "$<TARGET_FILE_DIR:${name}>")
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
    return()
  endif()
  if(NOT ORVEXC_WINE)
    find_program(ORVEXC_WINE_FOUND wine REQUIRED NO_CMAKE_FIND_ROOT_PATH)
    set(ORVEXC_WINE "${ORVEXC_WINE_FOUND}")
  endif()
  if(NOT ORVEXC_XVFB_RUN)
    find_program(ORVEXC_XVFB_RUN_FOUND xvfb-run NO_CMAKE_FIND_ROOT_PATH)
    set(ORVEXC_XVFB_RUN "${ORVEXC_XVFB_RUN_FOUND}")
  endif()
  # The display is looked at when the test runs, not when it is configured.
  add_test(NAME ${name}
    COMMAND sh -c "if [ -z \"\${DISPLAY:-}\" ] && [ -x \"$0\" ]; then exec \"$0\" -a \"$@\"; fi; exec \"$@\""
            "${ORVEXC_XVFB_RUN}" "${ORVEXC_WINE}" "$<TARGET_FILE:${name}>"
    WORKING_DIRECTORY "$<TARGET_FILE_DIR:${name}>")
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()
