# Copies the module template under a new name:
#   cmake -D NAME=<name> -P <SDK>/templates/new-module.cmake
# makes ./<name>/ (or DEST/<name>/ with -D DEST=<folder>) holding <name>.c,
# its host-kit test test_<name>.c and a CMakeLists.txt that builds both.
if(NOT DEFINED NAME OR NOT NAME MATCHES "^[A-Za-z][A-Za-z0-9_-]*$")
  message(FATAL_ERROR "Give the module a name of letters, digits, '_' and '-': "
                      "cmake -D NAME=<name> -P ${CMAKE_CURRENT_LIST_FILE}")
endif()
if(NOT DEFINED DEST)
  set(DEST "${CMAKE_CURRENT_BINARY_DIR}")  # the current folder
endif()
set(target "${DEST}/${NAME}")
if(EXISTS "${target}")
  message(FATAL_ERROR "${target} exists already: nothing copied")
endif()
set(template "${CMAKE_CURRENT_LIST_DIR}/module")
file(GLOB files RELATIVE "${template}" "${template}/*")
foreach(file ${files})
  file(READ "${template}/${file}" text)
  string(REPLACE "mymodule" "${NAME}" text "${text}")
  string(REPLACE "mymodule" "${NAME}" file "${file}")
  file(WRITE "${target}/${file}" "${text}")
endforeach()
message(STATUS "${target}: the module ${NAME}.c, its test test_${NAME}.c and CMakeLists.txt")
