# Read by cpack before it packs: every entry of the archives gets the one
# fixed time.
set(ENV{SOURCE_DATE_EPOCH} "${CPACK_ORVEXC_SOURCE_DATE_EPOCH}")
