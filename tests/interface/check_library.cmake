# The built library's exports equal SYMBOLS, its SONAME is SONAME, it needs only libc and the codec
# (no C++ or compiler runtime), and with POPCNT holds a popcnt instruction and
# a 32-byte AVX move (the load-time clones of the counting loops and the copy).
#   cmake -DNM=… -DREADELF=… -DOBJDUMP=… -DLIB=… -DSYMBOLS=… -DSONAME=… -DCODEC=… -DREADME=…
#         -DFLAGS=<compiler flags> [-DPOPCNT=ON] -P check_library.cmake
execute_process(COMMAND ${NM} -D --defined-only ${LIB} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${NM} -D --undefined-only ${LIB} OUTPUT_VARIABLE undefined COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${READELF} -d ${LIB} OUTPUT_VARIABLE dynamic COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${READELF} -d ${CODEC} OUTPUT_VARIABLE codec COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL " [B-Zb-z] [^@\n]+" exported "${symbols}") # kind A: version nodes
file(STRINGS ${SYMBOLS} expected REGEX "^ [a-z_]+@Base ")
list(TRANSFORM expected REPLACE "^ ([a-z_]+)@.*" " T \\1")
list(SORT exported)
list(SORT expected)
string(REPLACE "." "\\." soname_re "${SONAME}")
# NEEDED names but sanitizer runtimes, sorted; the codec by SONAME, or file name without one.
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*\\[[^]\n]+\\]" needed "${dynamic}")
list(TRANSFORM needed REPLACE ".*\\[(.+)\\]" "\\1")
list(FILTER needed EXCLUDE REGEX "^lib[a-z]*san\\.so")
if(FLAGS MATCHES "-fsanitize") # whose runtime may supply every C library call the library makes
    list(APPEND needed libc.so.6)
endif()
list(REMOVE_DUPLICATES needed)
list(SORT needed)
get_filename_component(codec_name ${CODEC} NAME)
if(codec MATCHES "\\(SONAME\\)[^\n]*\\[([^]\n]+)\\]")
    set(codec_name ${CMAKE_MATCH_1})
endif()
set(allowed libc.so.6 ${codec_name})
list(SORT allowed)
if(NOT exported STREQUAL expected OR NOT dynamic MATCHES "\\(SONAME\\)[^\n]*\\[${soname_re}\\]" OR
   NOT needed STREQUAL allowed)
    message(FATAL_ERROR "exported:\n${exported}\nexpected:\n${expected}\nexpected SONAME ${SONAME} and NEEDED "
                        "exactly ${allowed}:\n${dynamic}")
endif()
# Its libc symbols all in README's list; the every-build line all used (sanitizers, coverage: subsets).
string(REGEX MATCHALL " U [^@\n]+@GLIBC_" libc "${undefined}")
list(TRANSFORM libc REPLACE " U ([^@]+)@GLIBC_" "`\\1`")
file(READ ${README} readme)
string(REGEX MATCH "<!-- C library symbols -->\n(- ([^\n]*)\n- [^\n]*)" _ "${readme}")
set(lines "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "`[^`]+`" unused "${CMAKE_MATCH_2}")
string(REGEX MATCHALL "`[^`]+`" listed "${lines}")
set(unlisted ${libc})
list(REMOVE_ITEM unlisted ${listed})
list(REMOVE_ITEM unused ${libc})
if(NOT listed OR (unlisted AND NOT FLAGS MATCHES "--coverage") OR (unused AND NOT FLAGS MATCHES "-fsanitize|--coverage"))
    message(FATAL_ERROR "C library symbols not in ${README}: ${unlisted}; listed for every build, unused: ${unused}")
endif()
if(POPCNT)
    execute_process(COMMAND ${OBJDUMP} -d ${LIB} OUTPUT_VARIABLE code COMMAND_ERROR_IS_FATAL ANY)
    if(NOT code MATCHES "\tpopcnt ")
        message(FATAL_ERROR "no popcnt instruction in ${LIB}: the counting loops have lost their popcnt clones")
    endif()
    if(NOT code MATCHES "\tvmovdqu [^\n]*%ymm")
        message(FATAL_ERROR "no 32-byte move in ${LIB}: the copy has lost its AVX clone")
    endif()
endif()
message(STATUS "NEEDED: ${needed}; C library symbols: ${libc}")
