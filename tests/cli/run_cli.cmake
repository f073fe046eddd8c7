# Runs each line of CASES but "//" comments through /bin/sh, from the folder
# of CASES with standard input from /dev/null, where each NAME=PATH of TOOLS
# runs PATH (behind RUNNER, an emulator or valgrind, if set).  The transcript
# ("# COMMAND", its standard output, "[exit N]" when N is not 0, then its
# standard error as "[stderr] ..." lines) must equal TRANSCRIPT byte for
# byte; -DUPDATE=ON rewrites TRANSCRIPT instead.  The standard output of a
# command line that holds "--format=json" must be one JSON document.  With
# -DPARSE=OFF (a codec without if_index_parse), cases marked "# needs
# if_index_parse" are not run.
get_filename_component(dir "${CASES}" DIRECTORY)
string(REPLACE ";" " " runner "${RUNNER}")
list(TRANSFORM TOOLS REPLACE "=(.*)" "() {\n ${runner} '\\1' \"$@\"\n}\n")
string(JOIN "" prelude ${TOOLS})
file(STRINGS "${CASES}" lines ENCODING UTF-8)
file(READ "${TRANSCRIPT}" expected)
set(transcript "")
set(copy_from -1) # where in `expected` the block of a case that was not run begins
foreach(line IN LISTS lines)
    if(line STREQUAL "" OR line MATCHES "^//")
        continue()
    endif()
    # A case marked "# needs if_index_parse" runs only where the codec has
    # it (-DPARSE=OFF: not); its block is then taken from TRANSCRIPT as it is.
    if(copy_from GREATER_EQUAL 0)
        string(FIND "${expected}" "# ${line}\n" at)
        math(EXPR length "${at} - ${copy_from}")
        string(SUBSTRING "${expected}" ${copy_from} ${length} block)
        string(APPEND transcript "${block}")
        set(copy_from -1)
    endif()
    if(DEFINED PARSE AND NOT PARSE AND line MATCHES "# needs if_index_parse$" AND NOT UPDATE)
        string(FIND "${expected}" "# ${line}\n" copy_from)
        continue()
    endif()
    execute_process(COMMAND sh -c "${prelude}${line}" WORKING_DIRECTORY "${dir}"
        INPUT_FILE /dev/null OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
    # What --format=json prints must be one JSON document: "[OUTPUT]" is an
    # array of one value only then.
    if(line MATCHES "--format[= ]json" AND NOT out STREQUAL "")
        string(JSON values ERROR_VARIABLE json_error LENGTH "[${out}]")
        if(json_error OR NOT values EQUAL 1)
            message(FATAL_ERROR "not one JSON document: ${line}\n${out}${json_error}")
        endif()
    endif()
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
if(copy_from GREATER_EQUAL 0)
    string(SUBSTRING "${expected}" ${copy_from} -1 block)
    string(APPEND transcript "${block}")
endif()
if(UPDATE)
    file(WRITE "${TRANSCRIPT}" "${transcript}")
    return()
endif()
if(NOT transcript STREQUAL expected OR transcript STREQUAL "")
    get_filename_component(actual "${TRANSCRIPT}" NAME)
    file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/${actual}.actual" "${transcript}")
    execute_process(COMMAND diff -u "${TRANSCRIPT}" "${CMAKE_CURRENT_BINARY_DIR}/${actual}.actual")
    message(FATAL_ERROR "the transcript differs from ${TRANSCRIPT}")
endif()
