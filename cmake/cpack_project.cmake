# Read by cpack before it makes each package: every date in the package is the last commit's
# (SOURCE_DATE_EPOCH, which CPack stamps on the archive members and every file), so making the
# package again from the same sources gives the same bytes. Outside git (an exported tree), the
# date of the changelog's newest entry. A SOURCE_DATE_EPOCH already set is kept.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C "${CPACK_SANDREL_SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    execute_process(COMMAND dpkg-parsechangelog -l "${CPACK_SANDREL_SOURCE_DIR}/packaging/changelog" -STimestamp
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
      message(FATAL_ERROR "no date for the package: neither git nor dpkg-parsechangelog gave one")
    endif()
  endif()
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
