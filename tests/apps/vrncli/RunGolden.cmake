# Runs vrncli with the arguments of <case>.args (one per line) and <case>.in on standard input,
# and compares standard output, standard error and the exit status with <case>.expected,
# <case>.err and <case>.status. Regenerate with tools/gen-vrncli-golden.sh and review the diff.
#   cmake -DEXE=<vrncli> -DCASE=<dir>/<case> -P RunGolden.cmake
file(STRINGS ${CASE}.args args ENCODING UTF-8)
set(input /dev/null)
if(EXISTS ${CASE}.in)
  set(input ${CASE}.in)
endif()
execute_process(COMMAND ${EXE} ${args}
                INPUT_FILE ${input}
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
include(${CMAKE_CURRENT_LIST_DIR}/CompareRun.cmake)
