# A rebuild puts the sample's files into the game folder through InstallPlayerFile.cmake: what the
# player changed there (a rebound Actions.cfg) survives every later build, what the player left
# alone follows the sample. Run with -DSCRIPT=<InstallPlayerFile.cmake> -DWORK=<scratch folder>.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/game" "${WORK}/shipped")
set(source "${WORK}/Actions.cfg")
set(target "${WORK}/game/Actions.cfg")
set(record "${WORK}/shipped/Actions.cfg")

function(build)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE=${source} -DTARGET=${target} -DSHIPPED=${record} -P "${SCRIPT}"
                  RESULT_VARIABLE failed OUTPUT_VARIABLE output)
  if(failed)
    message(FATAL_ERROR "the build step failed: ${output}")
  endif()
  set(build_output "${output}" PARENT_SCOPE)
endfunction()

function(expect_target text why)
  file(READ "${target}" held)
  if(NOT held STREQUAL text)
    message(FATAL_ERROR "${why}: the game folder holds \"${held}\", not \"${text}\"")
  endif()
endfunction()

# The first build puts the sample's file there; a new sample's file replaces an unchanged one.
file(WRITE "${source}" "fire;Fire;Space\n")
build()
expect_target("fire;Fire;Space\n" "the first build")
file(WRITE "${source}" "fire;Fire;Space\nmine;Mine;LCtrl\n")
build()
expect_target("fire;Fire;Space\nmine;Mine;LCtrl\n" "a file the player left alone follows the sample")

# The player rebinds; the sample changes again, twice: the binding stays, and the build says so.
file(WRITE "${target}" "fire;Fire;Q\n")
file(WRITE "${source}" "fire;Fire;Space\nsuper;Super;LShift\n")
build()
expect_target("fire;Fire;Q\n" "a rebuild after the player's change")
if(NOT build_output MATCHES "Kept .*Actions.cfg")
  message(FATAL_ERROR "the build does not say it kept the player's file: ${build_output}")
endif()
file(WRITE "${source}" "fire;Fire;Space\n")
build()
expect_target("fire;Fire;Q\n" "the next rebuild")

# A file the player removed comes back as the sample has it.
file(REMOVE "${target}")
build()
expect_target("fire;Fire;Space\n" "a removed file")

# A game folder of a build that kept no record gets the sample's files, as every build gave it,
# and from then on keeps what the player changes.
file(REMOVE "${record}")
file(WRITE "${target}" "fire;Fire;W\n")
build()
expect_target("fire;Fire;Space\n" "a folder without a record")
file(WRITE "${target}" "fire;Fire;W\n")
file(WRITE "${source}" "fire;Fire;Space\nmine;Mine;LCtrl\n")
build()
expect_target("fire;Fire;W\n" "the rebuild after that")
message(STATUS "The player's files survive the rebuilds")
