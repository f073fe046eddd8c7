# The built library as the dynamic linker sees it: its defined dynamic symbols
# are exactly the functions named in EXPECTED, its SONAME is SONAME, and it
# needs the C library and the codec (CODEC, the codec's library file) and
# nothing else: no C++ runtime, no compiler runtime (libgcc_s).  A sanitized
# build (SANITIZED) may also need its sanitizer runtimes.  With POPCNT, the
# library holds a popcnt build of its counting loops (x86-64 GCC builds that
# optimize and do not assume the instruction).
#   cmake -DNM=… -DREADELF=… -DOBJDUMP=… -DLIB=… -DEXPECTED=<list file> -DSONAME=… -DCODEC=…
#         [-DSANITIZED=ON] [-DPOPCNT=ON] -P check_library.cmake
execute_process(COMMAND ${NM} -D --defined-only ${LIB} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${READELF} -d ${LIB} OUTPUT_VARIABLE dynamic COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL " [B-Zb-z] [^@\n]+" exported "${symbols}") # kind A: version nodes
file(STRINGS ${EXPECTED} expected)
list(TRANSFORM expected PREPEND " T ")
list(SORT exported)
list(SORT expected)
string(REPLACE "." "\\." soname_re "${SONAME}")
if(NOT exported STREQUAL expected OR NOT dynamic MATCHES "\\(SONAME\\)[^\n]*\\[${soname_re}\\]")
    message(FATAL_ERROR "exported:\n${exported}\nexpected:\n${expected}\nexpected SONAME ${SONAME}:\n${dynamic}")
endif()

# The codec is needed by its SONAME, or by its file name when it has none.
execute_process(COMMAND ${READELF} -d ${CODEC} OUTPUT_VARIABLE codec_dynamic COMMAND_ERROR_IS_FATAL ANY)
if(codec_dynamic MATCHES "\\(SONAME\\)[^\n]*\\[([^]\n]+)\\]")
    set(codec "${CMAKE_MATCH_1}")
else()
    get_filename_component(codec "${CODEC}" NAME)
endif()
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*\\[[^]\n]+\\]" needed_lines "${dynamic}")
set(needed "")
set(sanitizers "")
foreach(line IN LISTS needed_lines)
    string(REGEX REPLACE ".*\\[(.+)\\]" "\\1" name "${line}")
    if(SANITIZED AND name MATCHES "^lib[a-z]*san\\.so")
        list(APPEND sanitizers "${name}")
    else()
        list(APPEND needed "${name}")
    endif()
endforeach()
list(SORT needed)
set(allowed libc.so.6 "${codec}")
list(SORT allowed)
if(NOT needed STREQUAL allowed)
    message(FATAL_ERROR "NEEDED: ${needed} (sanitizer runtimes: ${sanitizers}); expected exactly: ${allowed}")
endif()

if(POPCNT)
    execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${LIB} OUTPUT_VARIABLE code COMMAND_ERROR_IS_FATAL ANY)
    if(NOT code MATCHES "\tpopcnt ")
        message(FATAL_ERROR "${LIB} has no popcnt instruction: its counting loops have no popcnt build")
    endif()
endif()
message(STATUS "${SONAME}: the ${EXPECTED} functions exported; NEEDED: ${needed} ${sanitizers}")
