# Runs the vrncli binary for one almanac page and compares its output byte for byte with the
# golden page: cmake -DEXE=<vrncli> -DDATE=<YYYY-MM-DD> -DPAGE=left|right -DEXPECTED=<file>
#   -DOUT=<file> -P RunAlmanacCli.cmake
execute_process(COMMAND ${EXE} almanac ${DATE} --page ${PAGE}
                OUTPUT_FILE ${OUT} ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "vrncli almanac ${DATE} --page ${PAGE} exited ${status}: ${err}")
endif()
if(NOT err STREQUAL "")
  message(FATAL_ERROR "unexpected standard error: ${err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${EXPECTED} RESULT_VARIABLE diff)
if(NOT diff EQUAL 0)
  message(FATAL_ERROR "${OUT} differs from ${EXPECTED}")
endif()
