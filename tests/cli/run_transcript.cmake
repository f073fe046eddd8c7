# Runs each command of COMMANDS with the ifvec binary IFVEC and builds a
# transcript: "# <command>", then its standard output, then "[exit N]" when N
# is not 0 and "[stderr] ..." lines for anything on standard error.  The
# transcript must equal EXPECTED byte for byte; with -DUPDATE=ON it replaces
# EXPECTED instead.
#
# A command line is "ifvec ARGS" or "ifvec ARGS < FILE", FILE relative to the
# directory of COMMANDS; ARGS are split as a POSIX shell would split them.
# IFVEC_RUNNER, when set, goes in front of IFVEC (an emulator or valgrind).
foreach(var IFVEC COMMANDS EXPECTED ACTUAL)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "run_transcript.cmake: ${var} is not set")
    endif()
endforeach()
get_filename_component(dir "${COMMANDS}" DIRECTORY)

file(STRINGS "${COMMANDS}" lines ENCODING UTF-8)
set(transcript "")
foreach(line IN LISTS lines)
    if(line STREQUAL "" OR line MATCHES "^//")
        continue()
    endif()
    set(input_file "/dev/null")
    set(args_text "${line}")
    if(line MATCHES "^(.*) < ([^ ]+)$")
        set(args_text "${CMAKE_MATCH_1}")
        set(input_file "${dir}/${CMAKE_MATCH_2}")
    endif()
    separate_arguments(argv UNIX_COMMAND "${args_text}")
    list(POP_FRONT argv program)
    if(NOT program STREQUAL "ifvec")
        message(FATAL_ERROR "not an ifvec command: ${line}")
    endif()
    execute_process(COMMAND ${IFVEC_RUNNER} "${IFVEC}" ${argv}
        INPUT_FILE "${input_file}"
        OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
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
    file(WRITE "${EXPECTED}" "${transcript}")
    message(STATUS "wrote ${EXPECTED}")
    return()
endif()
file(WRITE "${ACTUAL}" "${transcript}")
file(READ "${EXPECTED}" expected)
if(NOT transcript STREQUAL expected)
    find_program(DIFF diff)
    if(DIFF)
        execute_process(COMMAND "${DIFF}" -u "${EXPECTED}" "${ACTUAL}" OUTPUT_VARIABLE d)
        message("${d}")
    endif()
    message(FATAL_ERROR "ifvec transcript differs from ${EXPECTED}; actual in ${ACTUAL}")
endif()
message(STATUS "ifvec transcript matches (${EXPECTED})")
