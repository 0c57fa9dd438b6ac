# Puts a file of the sample game into the built game's folder without ever overwriting one the
# player changed (a rebound Actions.cfg, a score table with the player's scores).
#   cmake -DSOURCE=<file as shipped now> -DTARGET=<its place in the game folder>
#         -DSHIPPED=<the record of what the build last put there> -P InstallPlayerFile.cmake
# The target is written when it is missing or still holds what the build last put there; else
# it stays as it is, and the build says so. The record then holds the file as shipped now. A
# target without a record was put there by a build that kept none, and is written.
foreach(variable SOURCE TARGET SHIPPED)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "InstallPlayerFile: ${variable} is not set")
  endif()
endforeach()

set(write TRUE)
if(EXISTS "${TARGET}" AND EXISTS "${SHIPPED}")
  file(SHA256 "${TARGET}" target_hash)
  file(SHA256 "${SHIPPED}" shipped_hash)
  if(NOT target_hash STREQUAL shipped_hash)
    set(write FALSE)
  endif()
endif()

get_filename_component(target_folder "${TARGET}" DIRECTORY)
get_filename_component(shipped_folder "${SHIPPED}" DIRECTORY)
file(MAKE_DIRECTORY "${target_folder}" "${shipped_folder}")
if(write)
  file(COPY_FILE "${SOURCE}" "${TARGET}" ONLY_IF_DIFFERENT)
else()
  file(SHA256 "${TARGET}" target_hash)
  file(SHA256 "${SOURCE}" source_hash)
  if(NOT target_hash STREQUAL source_hash)
    message(STATUS "Kept ${TARGET}: it was changed after the build put it there")
  endif()
endif()
file(COPY_FILE "${SOURCE}" "${SHIPPED}")
