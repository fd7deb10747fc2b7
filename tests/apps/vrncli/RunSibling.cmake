# vrncli starts without Qt and hands the commands that need Qt to vrncli-gui beside it.
# -DEXE=<vrncli> -DWORK=<scratch folder>

# No Qt library is loaded by vrncli itself.
execute_process(COMMAND ldd ${EXE} OUTPUT_VARIABLE libs RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ldd ${EXE} failed: ${status}")
endif()
if(libs MATCHES "libQt")
  message(FATAL_ERROR "vrncli links Qt:\n${libs}")
endif()

# Copied alone, it still computes, and a command that needs its sibling says what is missing.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${EXE} DESTINATION ${WORK})
execute_process(COMMAND ${WORK}/vrncli ephem --body Sun --utc 2026-06-21T12:00:00
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "Sun")
  message(FATAL_ERROR "vrncli ephem alone: status ${status}\n${out}${err}")
endif()
execute_process(COMMAND ${WORK}/vrncli render x.cht --png ${WORK}/x.png
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 1 OR NOT err MATCHES "this command needs .*/vrncli-gui, which cannot be run")
  message(FATAL_ERROR "vrncli render without its sibling: status ${status}\n${out}${err}")
endif()
if(EXISTS ${WORK}/x.png)
  message(FATAL_ERROR "a picture was written without the sibling")
endif()
