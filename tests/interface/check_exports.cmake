# Checks the dynamic symbol table of the built library: the defined symbols
# are exactly the names in EXPECTED, all of them functions.
#   cmake -DNM=<nm> -DLIB=<library> -DEXPECTED=<list file> -P check_exports.cmake
execute_process(COMMAND ${NM} -D --defined-only ${LIB}
    OUTPUT_VARIABLE out RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${NM} failed (${rc}): ${err}")
endif()

file(STRINGS ${EXPECTED} expected)
list(SORT expected)
set(exported "")
set(not_functions "")
string(REPLACE "\n" ";" lines "${out}")
foreach(line IN LISTS lines)
    # "<address> <kind> <name>[@version]"; version nodes show as kind A.
    if(line MATCHES "^[0-9a-fA-F]* *([A-Za-z]) ([^@ ]+)")
        set(kind ${CMAKE_MATCH_1})
        set(name ${CMAKE_MATCH_2})
        if(kind STREQUAL "A")
            continue()
        endif()
        list(APPEND exported ${name})
        if(NOT kind STREQUAL "T")
            list(APPEND not_functions "${name} (${kind})")
        endif()
    endif()
endforeach()
list(SORT exported)

set(extra ${exported})
list(REMOVE_ITEM extra ${expected})
set(missing ${expected})
list(REMOVE_ITEM missing ${exported})
list(LENGTH exported n)
message(STATUS "${n} exported symbols")
if(extra OR missing OR not_functions)
    message(FATAL_ERROR "exported symbols differ from ${EXPECTED}\n"
        "  not expected: ${extra}\n  missing: ${missing}\n  not functions: ${not_functions}")
endif()
