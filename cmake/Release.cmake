# What makes a build a release: the one version (project() in CMakeLists.txt)
# checked against the public header, builds that two clones of one commit
# make byte for byte alike, and the version resource of each shipped binary.

# ---- the version -------------------------------------------------------------
file(STRINGS ${CMAKE_SOURCE_DIR}/include/OrvexC.h _orvexc_version_lines
     REGEX "^#define ORVEXC_VERSION_(MAJOR|MINOR|PATCH|STRING) ")
set(_orvexc_header_version "")
foreach(part MAJOR MINOR PATCH STRING)
  string(REGEX MATCH "ORVEXC_VERSION_${part} \"?([0-9.]+)" _ "${_orvexc_version_lines}")
  list(APPEND _orvexc_header_version "${CMAKE_MATCH_1}")
endforeach()
set(_orvexc_expected ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR} ${PROJECT_VERSION_PATCH} ${PROJECT_VERSION})
if(NOT _orvexc_header_version STREQUAL _orvexc_expected)
  message(FATAL_ERROR "include/OrvexC.h declares version ${_orvexc_header_version} (major;minor;patch;string), "
                      "CMakeLists.txt says ${PROJECT_VERSION}: set the ORVEXC_VERSION_* macros to match.")
endif()

# ---- reproducible builds -----------------------------------------------------
# No link time in the PE headers, no clone's folder in debug information or
# in __FILE__, directories that install and the archives create with one mode.
add_link_options(-Wl,--no-insert-timestamp)
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=
                    -ffile-prefix-map=${CMAKE_BINARY_DIR}/=build/)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Everything installed is part of the SDK unless a rule names another part.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME sdk)

# ---- shipped binaries --------------------------------------------------------
# orvexc_release_binary(<target> <description>): the version resource (file
# and product version, description, copyright, original file name) and, at
# install, the binary without its debug information in the SDK and that
# information alone as <file>.debug in the debug symbols.
function(orvexc_release_binary target description)
  orvexc_version_resource(${target} "${description}")
  foreach(part sdk debug)
    install(CODE "set(ORVEXC_BINARY \"$<TARGET_FILE:${target}>\")
                  set(ORVEXC_PART ${part})
                  set(ORVEXC_OBJCOPY \"${CMAKE_OBJCOPY}\")
                  set(ORVEXC_WORK \"${CMAKE_BINARY_DIR}/split-debug\")
                  include(\"${CMAKE_SOURCE_DIR}/cmake/SplitDebug.cmake\")"
            COMPONENT ${part})
  endforeach()
endfunction()

# orvexc_version_resource(<target> <description>): the version resource alone.
function(orvexc_version_resource target description)
  get_target_property(type ${target} TYPE)
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  if(type STREQUAL "EXECUTABLE")
    set(ORVEXC_FILE_TYPE VFT_APP)
    set(ORVEXC_FILE_NAME ${name}.exe)
  else()
    set(ORVEXC_FILE_TYPE VFT_DLL)
    set(ORVEXC_FILE_NAME ${name}.dll)
  endif()
  set(ORVEXC_FILE_DESCRIPTION "${description}")
  configure_file(${CMAKE_SOURCE_DIR}/cmake/VersionInfo.rc.in ${CMAKE_BINARY_DIR}/version/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/version/${target}.rc)
endfunction()
