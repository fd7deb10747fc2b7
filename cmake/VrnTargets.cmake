# Shared compile settings and the helpers every folder uses to declare its targets.

add_library(vrn_warnings INTERFACE)
add_library(vrn::warnings ALIAS vrn_warnings)
target_compile_options(vrn_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow)
if(VRN_WERROR)
  target_compile_options(vrn_warnings INTERFACE -Werror)
endif()
if(VRN_TSAN)
  target_compile_options(vrn_warnings INTERFACE -fsanitize=thread -g)
  target_link_options(vrn_warnings INTERFACE -fsanitize=thread)
endif()

# vrn_library(<name> [QT_FREE] SOURCES ... [LIBS ...])
# Declares the static library vrn_<name> with the alias vrn::<name>. Includes are rooted at the
# repository. A QT_FREE library has its sources recorded so that a test can prove no Qt header
# ever creeps into the engine and the logic layers.
function(vrn_library name)
  cmake_parse_arguments(ARG "QT_FREE" "" "SOURCES;LIBS" ${ARGN})
  add_library(vrn_${name} STATIC ${ARG_SOURCES})
  add_library(vrn::${name} ALIAS vrn_${name})
  target_include_directories(vrn_${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(vrn_${name} PUBLIC ${ARG_LIBS} PRIVATE vrn::warnings)
  if(ARG_QT_FREE)
    set_target_properties(vrn_${name} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
    foreach(src IN LISTS ARG_SOURCES)
      get_filename_component(abs ${src} ABSOLUTE)
      set_property(GLOBAL APPEND PROPERTY VRN_QT_FREE_SOURCES ${abs})
    endforeach()
  endif()
endfunction()

# vrn_gtest(<name> SOURCES ... LIBS ... [DATA_DIR dir])
# A GoogleTest executable whose cases are registered one by one with ctest.
function(vrn_gtest name)
  cmake_parse_arguments(ARG "" "DATA_DIR" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main vrn::warnings)
  if(ARG_DATA_DIR)
    target_compile_definitions(${name} PRIVATE VRN_TEST_DATA_DIR="${ARG_DATA_DIR}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS unit)
endfunction()

# vrn_qtest(<name> SOURCES ... LIBS ... [DATA_DIR dir])
# A QtTest executable (one per window) run headless.
function(vrn_qtest name)
  cmake_parse_arguments(ARG "" "DATA_DIR" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test vrn::warnings)
  if(ARG_DATA_DIR)
    target_compile_definitions(${name} PRIVATE VRN_TEST_DATA_DIR="${ARG_DATA_DIR}")
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS gui ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

function(vrn_add_hygiene_tests)
  get_property(qtFree GLOBAL PROPERTY VRN_QT_FREE_SOURCES)
  # Headers of Qt-free libraries sit beside their sources.
  set(files "")
  foreach(src IN LISTS qtFree)
    list(APPEND files ${src})
    get_filename_component(dir ${src} DIRECTORY)
    get_filename_component(stem ${src} NAME_WE)
    if(EXISTS ${dir}/${stem}.h)
      list(APPEND files ${dir}/${stem}.h)
    endif()
  endforeach()
  list(REMOVE_DUPLICATES files)
  string(REPLACE ";" "\n" fileLines "${files}")
  file(WRITE ${PROJECT_BINARY_DIR}/qt_free_files.txt "${fileLines}\n")
  add_test(NAME hygiene.qt_free
           COMMAND ${CMAKE_COMMAND} -DLIST=${PROJECT_BINARY_DIR}/qt_free_files.txt
                   -P ${PROJECT_SOURCE_DIR}/cmake/CheckQtFree.cmake)
  find_program(CLANG_FORMAT NAMES clang-format-14 clang-format)
  if(CLANG_FORMAT)
    add_test(NAME hygiene.format
             COMMAND ${PROJECT_SOURCE_DIR}/tools/check-format.sh ${CLANG_FORMAT}
             WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
  endif()
endfunction()
