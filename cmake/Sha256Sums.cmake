# Run by cpack after it packs: SHA256SUMS beside the archives, in the format
# of sha256sum (`sha256sum -c SHA256SUMS` checks them).
set(sums "")
list(SORT CPACK_PACKAGE_FILES)
foreach(file ${CPACK_PACKAGE_FILES})
  file(SHA256 "${file}" hash)
  get_filename_component(name "${file}" NAME)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE "${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS" "${sums}")
message(STATUS "checksums: ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS")
