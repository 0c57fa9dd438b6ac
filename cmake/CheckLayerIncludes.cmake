# Fails when a source of a folder includes a header of one of the forbidden folders (its higher
# layers), naming each such include. Runs as a script at build time
# (cmake -DFOLDER=<path> -DFORBIDDEN=a,b -P CheckLayerIncludes.cmake) and from
# vx_forbid_includes at configure time.
function(vx_check_layer_includes folder forbidden)
  file(GLOB_RECURSE sources "${folder}/*.h" "${folder}/*.cpp")
  list(JOIN forbidden "|" alternatives)
  set(pattern "^[ \t]*#[ \t]*include[ \t]*[\"<](${alternatives})/")
  set(offences "")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" lines REGEX "${pattern}")
    foreach(line IN LISTS lines)
      string(STRIP "${line}" line)
      list(APPEND offences "  ${source}: ${line}")
    endforeach()
  endforeach()
  if(offences)
    list(JOIN offences "\n" report)
    message(FATAL_ERROR "${folder} includes headers of the layers above it (${alternatives}):\n${report}\n"
                        "Declare an interface in the lower layer and install it from the higher one.")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  string(REPLACE "," ";" forbidden "${FORBIDDEN}")
  vx_check_layer_includes("${FOLDER}" "${forbidden}")
endif()
