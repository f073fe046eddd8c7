# Checks the library's dynamic section: its SONAME is SONAME, and it needs
# no C++ runtime (C callers link it without one).
#   cmake -DREADELF=<readelf> -DLIB=<library> -DSONAME=<name> -P check_soname.cmake
execute_process(COMMAND ${READELF} -d ${LIB}
    OUTPUT_VARIABLE out RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${READELF} failed (${rc}): ${err}")
endif()
if(NOT out MATCHES "\\(SONAME\\)[^\n]*\\[([^]\n]*)\\]")
    message(FATAL_ERROR "no SONAME in ${LIB}")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL SONAME)
    message(FATAL_ERROR "SONAME is ${CMAKE_MATCH_1}, expected ${SONAME}")
endif()
message(STATUS "SONAME ${CMAKE_MATCH_1}")
if(out MATCHES "\\[(libstdc\\+\\+[^]\n]*)\\]")
    message(FATAL_ERROR "the library needs the C++ runtime: ${CMAKE_MATCH_1}")
endif()
