# Installs BUILD_DIR under WORK_DIR and uses it as an outside project: the README's C and C++
# examples built via find_package (C also via pkg-config) print the README's output (STANDIN; other
# codecs: only succeed), and the installed ifvec runs.  Compilers and flags are the parent build's.
load_cache("${BUILD_DIR}" READ_WITH_PREFIX "" IF_INDEX_VEC_STANDIN_CODEC IF_INDEX_VEC_CODEC_PKGCONFIG_DIR
    IF_INDEX_VEC_PROGRAM_INSTALL_RPATH)
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${ARGN} failed (${rc}):\n${out}\n${err}")
    endif()
    set(run_output "${out}" PARENT_SCOPE)
endfunction()
function(expect_output want)
    run(${ARGN})
    if(NOT want STREQUAL "*" AND NOT run_output STREQUAL want)
        message(FATAL_ERROR "${ARGN} printed:\n${run_output}\nexpected:\n${want}")
    endif()
endfunction()

set(stage "${WORK_DIR}/stage")
file(REMOVE_RECURSE "${WORK_DIR}")
run("${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${stage}")
file(GLOB_RECURSE headers RELATIVE "${stage}/include" "${stage}/include/*")
file(GLOB expected RELATIVE "${SOURCE_DIR}/include" "${SOURCE_DIR}/include/if_index_vec/*.h*")
set(libs if_index_vec)
if(IF_INDEX_VEC_STANDIN_CODEC)
    list(APPEND expected if_index_codec/if_index_codec.h)
    list(APPEND libs if_index_codec)
endif()
list(SORT headers)
list(SORT expected)
file(GLOB_RECURSE library LIST_DIRECTORIES false "${stage}/lib*/libif_index_vec.so")
get_filename_component(libdir "${library}" DIRECTORY)
foreach(lib IN LISTS libs)
    file(REAL_PATH "${libdir}/lib${lib}.so" target)
    if(NOT IS_SYMLINK "${libdir}/lib${lib}.so" OR NOT IS_SYMLINK "${libdir}/lib${lib}.so.1" OR
       NOT target MATCHES "/lib${lib}\\.so\\.1\\.[0-9]+\\.[0-9]+$" OR NOT headers STREQUAL expected)
        message(FATAL_ERROR "installed: ${headers} and lib${lib}.so -> ${target}\nexpected headers: ${expected}")
    endif()
endforeach()

file(READ "${SOURCE_DIR}/README.md" readme)
foreach(name readme_example.c readme_example.cpp)
    string(REPLACE "." "\\." re "${name}")
    if(NOT readme MATCHES "<!-- compiled: ${re} -->\n```[a-z]*\n([^`]*)```.*<!-- output: ${re} -->\n```text\n([^`]*)```")
        message(FATAL_ERROR "README has no code and output blocks for ${name}")
    endif()
    file(WRITE "${WORK_DIR}/examples/${name}" "${CMAKE_MATCH_1}")
    set(expected_${name} "${CMAKE_MATCH_2}")
    if(NOT STANDIN) # its names are another codec's: the example only has to succeed
        set(expected_${name} "*")
    endif()
endforeach()

run("${CMAKE_COMMAND}" -S "${CMAKE_CURRENT_LIST_DIR}/consumer" -B "${WORK_DIR}/build" -G "${GENERATOR}"
    "-DCMAKE_PREFIX_PATH=${stage}" "-DEXAMPLE_DIR=${WORK_DIR}/examples" "-DCMAKE_C_COMPILER=${C_COMPILER}"
    "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}" "-DCMAKE_C_FLAGS=${C_FLAGS}" "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}")
run("${CMAKE_COMMAND}" --build "${WORK_DIR}/build")
expect_output("${expected_readme_example.c}" "${WORK_DIR}/build/readme_example_c")
expect_output("${expected_readme_example.cpp}" "${WORK_DIR}/build/readme_example_cpp")

# pkg-config; the program runs from the -L directories the .pc files give.
find_program(PKG_CONFIG pkg-config REQUIRED)
set(ENV{PKG_CONFIG_PATH} "${libdir}/pkgconfig:${IF_INDEX_VEC_CODEC_PKGCONFIG_DIR}")
run("${PKG_CONFIG}" --cflags --libs if_index_vec)
separate_arguments(pc_flags UNIX_COMMAND "${run_output}")
separate_arguments(c_flags UNIX_COMMAND "${C_FLAGS} ${LINK_FLAGS}")
run("${C_COMPILER}" ${c_flags} -Wall -Wextra -Wpedantic -Werror -o "${WORK_DIR}/readme_example_pc"
    "${WORK_DIR}/examples/readme_example.c" ${pc_flags})
list(FILTER pc_flags INCLUDE REGEX "^-L")
list(TRANSFORM pc_flags REPLACE "^-L" "")
string(REPLACE ";" ":" run_path "${pc_flags}")
expect_output("${expected_readme_example.c}" "${CMAKE_COMMAND}" -E env "LD_LIBRARY_PATH=${run_path}" "${WORK_DIR}/readme_example_pc")

if(WITH_IFVEC)
    set(env --unset=LD_LIBRARY_PATH)
    if(NOT IF_INDEX_VEC_PROGRAM_INSTALL_RPATH)
        set(env "LD_LIBRARY_PATH=${run_path}")
    endif()
    expect_output("No. of interfaces: 1\nPHY_FC interfaces: \nPORT_CHANNEL interfaces: 7\nISCSI interfaces: \nFC-TUNNEL interfaces: \n"
        "${CMAKE_COMMAND}" -E env ${env} "${stage}/bin/ifvec" show --ranges port_channel:7)
endif()
