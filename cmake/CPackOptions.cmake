# Read by cpack before it packs: every entry of the archives gets one fixed
# time, SOURCE_DATE_EPOCH when it is set, else the time of the commit.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY "${CPACK_ORVEXC_SOURCE_DIR}"
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status ERROR_QUIET)
  if(status OR NOT epoch)
    set(epoch 1796688000)  # 2026-12-08, for sources without their repository
  endif()
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
