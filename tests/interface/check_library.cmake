# The built library as the dynamic linker sees it: its defined dynamic symbols
# are exactly the functions named in EXPECTED, its SONAME is SONAME, and it
# needs no C++ runtime (C callers link it without one).
#   cmake -DNM=… -DREADELF=… -DLIB=… -DEXPECTED=<list file> -DSONAME=… -P check_library.cmake
execute_process(COMMAND ${NM} -D --defined-only ${LIB} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${READELF} -d ${LIB} OUTPUT_VARIABLE dynamic COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL " [B-Zb-z] [^@\n]+" exported "${symbols}") # kind A: version nodes
file(STRINGS ${EXPECTED} expected)
list(TRANSFORM expected PREPEND " T ")
list(SORT exported)
list(SORT expected)
string(REPLACE "." "\\." soname_re "${SONAME}")
if(NOT exported STREQUAL expected OR NOT dynamic MATCHES "\\(SONAME\\)[^\n]*\\[${soname_re}\\]" OR
   dynamic MATCHES "libstdc\\+\\+")
    message(FATAL_ERROR "exported:\n${exported}\nexpected:\n${expected}\nexpected SONAME ${SONAME} and no "
                        "C++ runtime:\n${dynamic}")
endif()
