# The SDK a title author receives (cmake --install, or the archive that
# `cmake --build build/default --target package` makes with CPack):
#   bin/                     OrvexC.dll, OrvexCHostKit.dll (the host kit's C
#                            interface), ResourceManager.dll (the host kit's
#                            stand-in resource manager), orvexc-demo-host.exe,
#                            orvexc-menu-check.exe; no debug information
#   include/                 OrvexC.h, OrvexCRT.h, OrvexC/RuntimeInterfaces.h (+ the
#                            .def it is made from), OrvexC/hostkit.h (the host
#                            kit in C), OrvexC/hostkit/ (the host kit in C++)
#   lib/                     libOrvexC.dll.a (mingw-w64), OrvexC.lib (Microsoft
#                            linker), libOrvexCHostKit.a (C++ kit), the C kit's
#                            libOrvexCHostKit.dll.a and OrvexCHostKit.lib,
#                            cmake/OrvexC/ (the package)
#   share/orvexc/toolchains/ toolchain files: mingw-w64 GCC, Clang, clang-cl
#   OrvexC.props             the property sheet for Visual Studio projects
#   README.md                what is where, and the commands to a first test
#   share/doc/orvexc/        guide, host kit, reference (.md, .html), changelog,
#                            license, third-party notices
#   samples/, templates/     the sample module; the new-module template and
#                            templates/new-module.cmake that copies it
# The debug information of the binaries goes into an archive of its own
# (component "debug": bin/<file>.debug, and bin/trace/OrvexC.dll, the tracing
# edition), with SHA256SUMS beside both.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# ---- import libraries for the Microsoft linker --------------------------------
# Made from the export definitions: llvm-dlltool -m i386 gives the 32-bit
# C decoration (_Name, __imp__Name) and imports each export by its plain name.
find_program(ORVEXC_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
function(orvexc_msvc_implib name def)
  set(lib ${CMAKE_BINARY_DIR}/lib/${name}.lib)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/lib
    COMMAND ${ORVEXC_LLVM_DLLTOOL} -m i386 -D ${name}.dll -d ${def} -l ${lib}
    DEPENDS ${def}
    COMMENT "${name}.lib for the 32-bit Microsoft linker" VERBATIM)
  add_custom_target(${name}_msvc_implib ALL DEPENDS ${lib})
  install(FILES ${lib} DESTINATION ${CMAKE_INSTALL_LIBDIR})
endfunction()
# The Microsoft headers give the forwarded C functions the names msvcrt.dll
# exports them under (itoa is _itoa there, strdup _strdup): OrvexC.lib has
# those names too, each importing the library's own export (_itoa == itoa).
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/OrvexC.def)
file(READ ${CMAKE_SOURCE_DIR}/OrvexC.def ORVEXC_MSVC_DEF)
file(STRINGS ${CMAKE_SOURCE_DIR}/OrvexC.def forwards REGEX "^ +[A-Za-z0-9_]+ += msvcrt\\._")
foreach(line ${forwards})
  string(REGEX REPLACE "^ +([A-Za-z0-9_]+) .*" "\\1" name "${line}")
  string(REGEX REPLACE ".*= msvcrt\\.([A-Za-z0-9_]+).*" "\\1" target "${line}")
  if(NOT name STREQUAL target)
    string(APPEND ORVEXC_MSVC_DEF "    ${target} == ${name}\n")
  endif()
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/lib/OrvexC-msvc.def.new "${ORVEXC_MSVC_DEF}")
configure_file(${CMAKE_BINARY_DIR}/lib/OrvexC-msvc.def.new ${CMAKE_BINARY_DIR}/lib/OrvexC-msvc.def COPYONLY)
orvexc_msvc_implib(OrvexC ${CMAKE_BINARY_DIR}/lib/OrvexC-msvc.def)
orvexc_msvc_implib(OrvexCHostKit ${CMAKE_SOURCE_DIR}/hostkit/OrvexCHostKit.def)

# ---- the reference, generated from the public headers ------------------------
set(ORVEXC_REFERENCE ${CMAKE_BINARY_DIR}/docs/reference.md ${CMAKE_BINARY_DIR}/docs/reference.html
                     ${CMAKE_BINARY_DIR}/docs/no-crt.md)
add_custom_command(OUTPUT ${ORVEXC_REFERENCE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/docs
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/gen-reference.sh ${ORVEXC_REFERENCE}
  DEPENDS ${CMAKE_SOURCE_DIR}/include/OrvexC.h ${CMAKE_SOURCE_DIR}/include/OrvexCRT.h
          ${CMAKE_SOURCE_DIR}/scripts/gen-reference.sh ${CMAKE_SOURCE_DIR}/scripts/reference.awk
          ${CMAKE_SOURCE_DIR}/scripts/reference-lib.awk ${CMAKE_SOURCE_DIR}/scripts/reference-html.awk
          ${CMAKE_SOURCE_DIR}/scripts/no-crt.awk ${CMAKE_SOURCE_DIR}/OrvexC.def
  COMMENT "The reference from the public headers, the C function list from OrvexC.def" VERBATIM)
add_custom_target(OrvexC_reference ALL DEPENDS ${ORVEXC_REFERENCE})

# ---- the host kit and the tools ----------------------------------------------
add_subdirectory(${CMAKE_SOURCE_DIR}/hostkit ${CMAKE_BINARY_DIR}/hostkit)
file(GLOB ORVEXC_TOOLS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*/CMakeLists.txt)
foreach(tool ${ORVEXC_TOOLS})
  get_filename_component(dir ${tool} DIRECTORY)
  add_subdirectory(${dir})
endforeach()
# The tools answer --version from the public header.
target_include_directories(orvexc-menu-check PRIVATE ${CMAKE_SOURCE_DIR}/include)

# ---- install rules -----------------------------------------------------------
install(TARGETS OrvexC
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
# The public headers, the runtime's interfaces (with the list of methods they
# are made from) and the host kit's among them; none of the library's private
# headers is installed.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        FILES_MATCHING PATTERN "*.h" PATTERN "*.def")
install(TARGETS OrvexCHostKit ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS ResourceManager RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS OrvexCHostKitC RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})

set(ORVEXC_DESCRIPTION "OrvexC, the C programming interface of the Orvex title runtime")
# The host kit and the demo host know the tracing edition by its description.
if(ORVEXC_TRACE)
  orvexc_release_binary(OrvexC "${ORVEXC_DESCRIPTION} (tracing edition)")
else()
  orvexc_release_binary(OrvexC "${ORVEXC_DESCRIPTION}")
endif()
# The tracing edition, in the debug archive as it is built (its symbols kept):
# an author swaps it in for bin/OrvexC.dll beside the module, and back.
orvexc_version_resource(OrvexC-trace "${ORVEXC_DESCRIPTION} (tracing edition)")
install(FILES $<TARGET_FILE:OrvexC-trace> DESTINATION ${CMAKE_INSTALL_BINDIR}/trace COMPONENT debug)
orvexc_release_binary(ResourceManager "OrvexC host kit: stand-in resource manager")
orvexc_release_binary(OrvexCHostKitC "OrvexC host kit: the fake title runtime for C tests")
orvexc_release_binary(orvexc-demo-host "OrvexC demo host: runs a title module on a sample title")
orvexc_release_binary(orvexc-menu-check "OrvexC menu script checker")

set(ORVEXC_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/orvexc)
install(FILES ${CMAKE_SOURCE_DIR}/docs/guide.md ${CMAKE_SOURCE_DIR}/docs/hostkit.md
              ${CMAKE_SOURCE_DIR}/docs/demo.png ${CMAKE_BINARY_DIR}/docs/reference.md
              ${CMAKE_BINARY_DIR}/docs/reference.html
              ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${CMAKE_SOURCE_DIR}/LICENSE
              ${CMAKE_SOURCE_DIR}/THIRD-PARTY-NOTICES
        DESTINATION ${ORVEXC_DOC_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/cmake/toolchains/ DESTINATION ${CMAKE_INSTALL_DATADIR}/orvexc/toolchains)
install(FILES ${CMAKE_SOURCE_DIR}/OrvexC.props DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/docs/SDK-README.md DESTINATION . RENAME README.md)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/samples/ DESTINATION samples)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/templates/ DESTINATION templates)

# ---- the CMake package -------------------------------------------------------
set(ORVEXC_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/OrvexC)
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/OrvexCConfig.cmake.in
  ${CMAKE_BINARY_DIR}/cmake/OrvexCConfig.cmake
  INSTALL_DESTINATION ${ORVEXC_CMAKE_DIR}
  PATH_VARS CMAKE_INSTALL_INCLUDEDIR CMAKE_INSTALL_BINDIR CMAKE_INSTALL_LIBDIR)
configure_file(${CMAKE_SOURCE_DIR}/cmake/OrvexCConfigVersion.cmake.in
  ${CMAKE_BINARY_DIR}/cmake/OrvexCConfigVersion.cmake @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/cmake/OrvexCConfig.cmake
              ${CMAKE_BINARY_DIR}/cmake/OrvexCConfigVersion.cmake
              ${CMAKE_SOURCE_DIR}/cmake/OrvexCModuleTest.cmake
        DESTINATION ${ORVEXC_CMAKE_DIR})

# ---- the archives ------------------------------------------------------------
# Reproducible: entries with one fixed time (cmake/CPackOptions.cmake),
# binaries without link times (cmake/Release.cmake).
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME OrvexC-SDK)
set(CPACK_PACKAGE_VENDOR "OrvexC developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME OrvexC-SDK-${PROJECT_VERSION}-win32)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL sdk debug)
set(CPACK_ARCHIVE_SDK_FILE_NAME OrvexC-SDK-${PROJECT_VERSION}-win32)
set(CPACK_ARCHIVE_DEBUG_FILE_NAME OrvexC-SDK-${PROJECT_VERSION}-win32-debug)
set(CPACK_ORVEXC_SOURCE_DIR ${CMAKE_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/CPackOptions.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/Sha256Sums.cmake)
include(CPack)
