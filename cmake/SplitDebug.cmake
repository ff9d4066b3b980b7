# Run by the install rules of a shipped binary ORVEXC_BINARY (in the build
# tree; ORVEXC_WORK is a folder of the build's own). For ORVEXC_PART "sdk"
# the installed bin/<file> becomes the binary without debug information,
# pointing to <file>.debug; for "debug" that file is written to bin/. Both
# come from the same build, so the link's checksum matches.
get_filename_component(name "${ORVEXC_BINARY}" NAME)
set(bin "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
file(MAKE_DIRECTORY "${bin}" "${ORVEXC_WORK}")
function(objcopy)
  execute_process(COMMAND "${ORVEXC_OBJCOPY}" ${ARGN} RESULT_VARIABLE status)
  if(status)
    message(FATAL_ERROR "objcopy ${ARGN} failed: ${status}")
  endif()
endfunction()
if(ORVEXC_PART STREQUAL "debug")
  message(STATUS "Installing: ${bin}/${name}.debug")
  objcopy(--only-keep-debug "${ORVEXC_BINARY}" "${bin}/${name}.debug")
  file(CHMOD "${bin}/${name}.debug" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
else()
  message(STATUS "Stripping: ${bin}/${name}")
  objcopy(--only-keep-debug "${ORVEXC_BINARY}" "${ORVEXC_WORK}/${name}.debug")
  objcopy(--strip-all "--add-gnu-debuglink=${ORVEXC_WORK}/${name}.debug" "${ORVEXC_BINARY}" "${bin}/${name}")
  file(CHMOD "${bin}/${name}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                                          GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()
