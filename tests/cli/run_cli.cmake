# Runs each line of CASES but "//" comments through /bin/sh, from the folder
# of CASES with standard input from /dev/null, where each NAME=PATH of TOOLS
# runs PATH (behind RUNNER, an emulator or valgrind, if set).  The transcript
# ("# COMMAND", its standard output, "[exit N]" when N is not 0, then its
# standard error as "[stderr] ..." lines) must equal TRANSCRIPT byte for
# byte; -DUPDATE=ON rewrites TRANSCRIPT instead.
get_filename_component(dir "${CASES}" DIRECTORY)
string(REPLACE ";" " " runner "${RUNNER}")
list(TRANSFORM TOOLS REPLACE "=(.*)" "() {\n ${runner} '\\1' \"$@\"\n}\n")
string(JOIN "" prelude ${TOOLS})
file(STRINGS "${CASES}" lines ENCODING UTF-8)
set(transcript "")
foreach(line IN LISTS lines)
    if(line STREQUAL "" OR line MATCHES "^//")
        continue()
    endif()
    execute_process(COMMAND sh -c "${prelude}${line}" WORKING_DIRECTORY "${dir}"
        INPUT_FILE /dev/null OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
    string(APPEND transcript "# ${line}\n${out}")
    if(NOT rc EQUAL 0)
        string(APPEND transcript "[exit ${rc}]\n")
    endif()
    if(NOT err STREQUAL "")
        string(REGEX REPLACE "\n$" "" err "${err}")
        string(REPLACE "\n" "\n[stderr] " err "${err}")
        string(APPEND transcript "[stderr] ${err}\n")
    endif()
endforeach()
if(UPDATE)
    file(WRITE "${TRANSCRIPT}" "${transcript}")
    return()
endif()
file(READ "${TRANSCRIPT}" expected)
if(NOT transcript STREQUAL expected OR transcript STREQUAL "")
    get_filename_component(actual "${TRANSCRIPT}" NAME)
    file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/${actual}.actual" "${transcript}")
    execute_process(COMMAND diff -u "${TRANSCRIPT}" "${CMAKE_CURRENT_BINARY_DIR}/${actual}.actual")
    message(FATAL_ERROR "the transcript differs from ${TRANSCRIPT}")
endif()
