# Warnings used by every target of this project; applied PRIVATE so that
# nothing leaks to consumers of the installed targets.  Library and tool code
# also gets the conversion warnings; tests keep to the common set.
function(if_index_vec_warnings target)
    cmake_parse_arguments(ARG "BASIC" "" "" ${ARGN})
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
        $<$<BOOL:${IF_INDEX_VEC_WERROR}>:-Werror>)
    if(NOT ARG_BASIC)
        target_compile_options(${target} PRIVATE
            -Wshadow -Wconversion -Wsign-conversion
            $<$<COMPILE_LANGUAGE:CXX>:-Wold-style-cast -Wnon-virtual-dtor>)
    endif()
endfunction()
