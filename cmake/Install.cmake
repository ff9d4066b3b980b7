# The SDK a title author installs:
#   bin/OrvexC.dll
#   include/OrvexC.h (+ the C runtime header when present)
#   include/OrvexC/hostkit/  the host kit's headers
#   lib/libOrvexC.dll.a      import library for mingw-w64
#   lib/OrvexC.lib           import library for the 32-bit Microsoft linker
#   lib/libOrvexCHostKit.a   the host kit (mingw-w64 C++)
#   lib/cmake/OrvexC/        find_package(OrvexC CONFIG) -> OrvexC::OrvexC, OrvexC::HostKit
#   bin/orvexc-menu-check.exe, bin/orvexc-demo-host.exe, share/OrvexC/ (docs, sample)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# ---- import library for the Microsoft linker ---------------------------------
# Made from the export definition: llvm-dlltool -m i386 gives the 32-bit
# C decoration (_Name, __imp__Name) and imports each export by its plain name.
find_program(ORVEXC_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
set(ORVEXC_MSVC_IMPLIB ${CMAKE_BINARY_DIR}/lib/OrvexC.lib)
add_custom_command(OUTPUT ${ORVEXC_MSVC_IMPLIB}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/lib
  COMMAND ${ORVEXC_LLVM_DLLTOOL} -m i386 -D OrvexC.dll
          -d ${CMAKE_SOURCE_DIR}/OrvexC.def -l ${ORVEXC_MSVC_IMPLIB}
  DEPENDS ${CMAKE_SOURCE_DIR}/OrvexC.def
  COMMENT "OrvexC.lib for the 32-bit Microsoft linker" VERBATIM)
add_custom_target(OrvexC_msvc_implib ALL DEPENDS ${ORVEXC_MSVC_IMPLIB})

# ---- the host kit: the fake title runtime as a library -----------------------
set(ORVEXC_HOSTKIT_DIR ${CMAKE_SOURCE_DIR}/tests/support)
add_library(OrvexCHostKit STATIC
  ${ORVEXC_HOSTKIT_DIR}/FakeRuntime.cpp
  ${ORVEXC_HOSTKIT_DIR}/Journal.cpp
  ${ORVEXC_HOSTKIT_DIR}/LibraryProbe.cpp)
set_target_properties(OrvexCHostKit PROPERTIES ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
target_include_directories(OrvexCHostKit PUBLIC
  $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}> $<BUILD_INTERFACE:${ORVEXC_HOSTKIT_DIR}>)
target_compile_definitions(OrvexCHostKit PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
target_compile_options(OrvexCHostKit PRIVATE -Wall -Wextra -O2)
target_link_libraries(OrvexCHostKit PUBLIC OrvexC oleaut32 ole32 uuid user32)

# ---- the tools ---------------------------------------------------------------
file(GLOB ORVEXC_TOOLS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*/CMakeLists.txt)
foreach(tool ${ORVEXC_TOOLS})
  get_filename_component(dir ${tool} DIRECTORY)
  add_subdirectory(${dir})
endforeach()

# ---- install rules -----------------------------------------------------------
install(TARGETS OrvexC
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${ORVEXC_MSVC_IMPLIB} DESTINATION ${CMAKE_INSTALL_LIBDIR})
file(GLOB ORVEXC_PUBLIC_HEADERS ${CMAKE_SOURCE_DIR}/include/*.h)
install(FILES ${ORVEXC_PUBLIC_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

install(TARGETS OrvexCHostKit ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${ORVEXC_HOSTKIT_DIR}/FakeRuntime.h ${ORVEXC_HOSTKIT_DIR}/Journal.h
              ${ORVEXC_HOSTKIT_DIR}/LibraryProbe.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/OrvexC/hostkit)
install(FILES ${CMAKE_SOURCE_DIR}/frame/HostInterfaces.h ${CMAKE_SOURCE_DIR}/frame/Framework.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/OrvexC/hostkit/frame)

install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/CHANGELOG.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/OrvexC)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DATADIR}/OrvexC/docs)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/samples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/OrvexC/samples)

set(ORVEXC_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/OrvexC)
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/OrvexCConfig.cmake.in
  ${CMAKE_BINARY_DIR}/cmake/OrvexCConfig.cmake
  INSTALL_DESTINATION ${ORVEXC_CMAKE_DIR}
  PATH_VARS CMAKE_INSTALL_INCLUDEDIR CMAKE_INSTALL_BINDIR CMAKE_INSTALL_LIBDIR)
# The package is a 32-bit one whatever the consumer's pointer size is checked as.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/cmake/OrvexCConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/cmake/OrvexCConfig.cmake
              ${CMAKE_BINARY_DIR}/cmake/OrvexCConfigVersion.cmake
        DESTINATION ${ORVEXC_CMAKE_DIR})
