# The SDK a title author installs:
#   bin/OrvexC.dll
#   include/OrvexC.h (+ the C runtime header when present)
#   include/OrvexC/RuntimeInterfaces.h (+ .def)  the runtime's interfaces
#   include/OrvexC/hostkit/  the host kit's headers
#   lib/libOrvexC.dll.a      import library for mingw-w64
#   lib/OrvexC.lib           import library for the 32-bit Microsoft linker
#   lib/libOrvexCHostKit.a   the host kit (mingw-w64 C++)
#   lib/cmake/OrvexC/        find_package(OrvexC CONFIG) -> OrvexC::OrvexC, OrvexC::HostKit
#   bin/ResourceManager.dll  the host kit's stand-in resource manager
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

# ---- the host kit ------------------------------------------------------------
add_subdirectory(${CMAKE_SOURCE_DIR}/hostkit ${CMAKE_BINARY_DIR}/hostkit)

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
# The runtime's interfaces: the header and the list of methods it is made from.
install(FILES ${CMAKE_SOURCE_DIR}/include/OrvexC/RuntimeInterfaces.h ${CMAKE_SOURCE_DIR}/include/OrvexC/RuntimeInterfaces.def
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/OrvexC)

# The host kit's headers are public headers of their own: none of the
# library's private headers is installed.
install(TARGETS OrvexCHostKit ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS ResourceManager RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/OrvexC/hostkit/
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/OrvexC/hostkit FILES_MATCHING PATTERN "*.h")

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
              ${CMAKE_SOURCE_DIR}/cmake/OrvexCModuleTest.cmake
        DESTINATION ${ORVEXC_CMAKE_DIR})
