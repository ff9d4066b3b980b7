# What every toolchain file of the SDK shares: the SDK (three folders up) is
# searched before the target system's root, so find_package(OrvexC) needs no
# hint; CMAKE_PREFIX_PATH and OrvexC_DIR work as well.
get_filename_component(ORVEXC_SDK_ROOT "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
list(APPEND CMAKE_FIND_ROOT_PATH "${ORVEXC_SDK_ROOT}" /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
