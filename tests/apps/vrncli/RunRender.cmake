# Runs one `vrncli render` case of render/: @SRC@ in <case>.args names the source tree, @DIR@
# the cases' folder and @WORK@ a fresh work folder for the picture. Standard output, standard
# error (the folders written back as @SRC@, @DIR@ and @WORK@) and the exit status are compared
# with <case>.expected, .err and .status; <case>.exists lists files that must be there
# afterwards ("!" before a name: must not). Regenerate with tools/gen-render-golden.sh and review
# the diff.
#   cmake -DEXE=<vrncli> -DCASE=<dir>/<case> -DSRC=<source tree> -DWORK=<folder> -P RunRender.cmake
cmake_minimum_required(VERSION 3.25)
get_filename_component(dir ${CASE} DIRECTORY)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(STRINGS ${CASE}.args args ENCODING UTF-8)
string(REPLACE "@WORK@" "${WORK}" args "${args}")
string(REPLACE "@DIR@" "${dir}" args "${args}")
string(REPLACE "@SRC@" "${SRC}" args "${args}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${EXE} ${args}
                INPUT_FILE /dev/null
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
# Qt's own notes about the run-time folder are not the command's output.
string(REGEX REPLACE "QStandardPaths: [^\n]*\n" "" err "${err}")
foreach(stream out err)
  string(REPLACE "${WORK}" "@WORK@" ${stream} "${${stream}}")
  string(REPLACE "${dir}" "@DIR@" ${stream} "${${stream}}")
  string(REPLACE "${SRC}" "@SRC@" ${stream} "${${stream}}")
endforeach()
if(DEFINED REGENERATE)
  file(WRITE ${CASE}.expected "${out}")
  file(WRITE ${CASE}.err "${err}")
  file(WRITE ${CASE}.status "${rc}\n")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/CompareRun.cmake)
file(STRINGS ${CASE}.exists files)
foreach(f IN LISTS files)
  if(f MATCHES "^!(.*)")
    if(EXISTS ${WORK}/${CMAKE_MATCH_1})
      message(SEND_ERROR "${CMAKE_MATCH_1} should not have been written")
    endif()
  elseif(NOT EXISTS ${WORK}/${f})
    message(SEND_ERROR "${f} was not written")
  endif()
endforeach()
