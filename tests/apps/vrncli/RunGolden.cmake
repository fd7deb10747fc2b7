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
file(READ ${CASE}.expected expectedOut)
file(READ ${CASE}.err expectedErr)
file(READ ${CASE}.status expectedRc)
string(STRIP "${expectedRc}" expectedRc)
if(NOT out STREQUAL expectedOut)
  message(SEND_ERROR "standard output differs from ${CASE}.expected:\n--- got\n${out}--- expected\n${expectedOut}")
endif()
if(NOT err STREQUAL expectedErr)
  message(SEND_ERROR "standard error differs from ${CASE}.err:\n--- got\n${err}--- expected\n${expectedErr}")
endif()
if(NOT rc STREQUAL expectedRc)
  message(SEND_ERROR "exit status ${rc}, expected ${expectedRc}")
endif()
