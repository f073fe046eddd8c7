# Installs the build tree BUILD_DIR into a staging prefix under WORK_DIR and
# uses the result as an outside project would:
#   - the staged tree holds exactly the public headers (the codec's only when
#     the build has the stand-in) and the SONAME links;
#   - the README's C and C++ examples (the code blocks after the
#     "<!-- compiled: NAME -->" markers in README) build through
#     find_package(if_index_vec CONFIG) and print the output that README
#     shows after "<!-- output: NAME -->";
#   - the C example also builds with `pkg-config --cflags --libs if_index_vec`;
#   - the installed ifvec runs (WITH_IFVEC), through its RPATH unless the
#     build installs to a system library directory and sets none.
# C_COMPILER, CXX_COMPILER, C_FLAGS, CXX_FLAGS and LINK_FLAGS are the parent
# build's, so that sanitizer runtimes match.
foreach(var BUILD_DIR WORK_DIR SOURCE_DIR GENERATOR C_COMPILER CXX_COMPILER)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "run_consumer.cmake: ${var} is not set")
    endif()
endforeach()
load_cache("${BUILD_DIR}" READ_WITH_PREFIX "" IF_INDEX_VEC_STANDIN_CODEC IF_INDEX_VEC_CODEC_PKGCONFIG_DIR
    IF_INDEX_VEC_PROGRAM_INSTALL_RPATH)

function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
    endif()
    set(run_output "${out}" PARENT_SCOPE)
endfunction()

set(stage "${WORK_DIR}/stage")
file(REMOVE_RECURSE "${WORK_DIR}")
run("install" "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${stage}")

# Public headers only: the internal headers of src/ stay out.
file(GLOB_RECURSE headers RELATIVE "${stage}/include" "${stage}/include/*")
file(GLOB expected_headers RELATIVE "${SOURCE_DIR}/include" "${SOURCE_DIR}/include/if_index_vec/*.h*")
set(libs if_index_vec)
if(IF_INDEX_VEC_STANDIN_CODEC)
    list(APPEND expected_headers if_index_codec/if_index_codec.h)
    list(APPEND libs if_index_codec)
endif()
list(SORT headers)
list(SORT expected_headers)
if(NOT headers STREQUAL expected_headers)
    message(FATAL_ERROR "installed headers: ${headers}\nexpected: ${expected_headers}")
endif()
file(GLOB libdirs LIST_DIRECTORIES true "${stage}/lib*")
find_path(libdir NAMES libif_index_vec.so PATHS ${libdirs} ${libdirs}/* NO_DEFAULT_PATH)
if(NOT libdir)
    message(FATAL_ERROR "libif_index_vec.so not installed under ${stage}")
endif()
foreach(lib IN LISTS libs)
    foreach(link lib${lib}.so lib${lib}.so.1)
        if(NOT IS_SYMLINK "${libdir}/${link}")
            message(FATAL_ERROR "${link} is not a symbolic link")
        endif()
    endforeach()
    file(REAL_PATH "${libdir}/lib${lib}.so" target)
    if(NOT target MATCHES "/lib${lib}\\.so\\.1\\.[0-9]+\\.[0-9]+$")
        message(FATAL_ERROR "lib${lib}.so resolves to ${target}")
    endif()
endforeach()

# The README's examples and their documented output.
file(READ "${SOURCE_DIR}/README.md" readme)
set(examples "${WORK_DIR}/examples")
foreach(name readme_example.c readme_example.cpp)
    string(REPLACE "." "\\." name_re "${name}")
    if(NOT readme MATCHES "<!-- compiled: ${name_re} -->\n```[a-z]*\n([^`]*)```")
        message(FATAL_ERROR "README has no code block marked 'compiled: ${name}'")
    endif()
    file(WRITE "${examples}/${name}" "${CMAKE_MATCH_1}")
    if(NOT readme MATCHES "<!-- output: ${name_re} -->\n```text\n([^`]*)```")
        message(FATAL_ERROR "README has no output block marked 'output: ${name}'")
    endif()
    set(expected_${name} "${CMAKE_MATCH_1}")
endforeach()

function(expect_output name)
    run("${ARGN}" ${ARGN})
    if(NOT run_output STREQUAL expected_${name})
        message(FATAL_ERROR "${ARGN} printed:\n${run_output}\nREADME shows:\n${expected_${name}}")
    endif()
endfunction()

# find_package(CONFIG), C and C++.
run("consumer configure" "${CMAKE_COMMAND}" -S "${CMAKE_CURRENT_LIST_DIR}/consumer"
    -B "${WORK_DIR}/build" -G "${GENERATOR}"
    "-DCMAKE_PREFIX_PATH=${stage}" "-DEXAMPLE_DIR=${examples}"
    "-DCMAKE_C_COMPILER=${C_COMPILER}" "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}"
    "-DCMAKE_C_FLAGS=${C_FLAGS}" "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}")
run("consumer build" "${CMAKE_COMMAND}" --build "${WORK_DIR}/build")
expect_output(readme_example.c "${WORK_DIR}/build/readme_example_c")
expect_output(readme_example.cpp "${WORK_DIR}/build/readme_example_cpp")

# pkg-config, C; the program runs from the -L directories the .pc files give.
find_program(PKG_CONFIG pkg-config REQUIRED)
set(ENV{PKG_CONFIG_PATH} "${libdir}/pkgconfig:${IF_INDEX_VEC_CODEC_PKGCONFIG_DIR}")
run("pkg-config" "${PKG_CONFIG}" --cflags --libs if_index_vec)
separate_arguments(pc_flags UNIX_COMMAND "${run_output}")
separate_arguments(c_flags UNIX_COMMAND "${C_FLAGS} ${LINK_FLAGS}")
run("cc with pkg-config flags" "${C_COMPILER}" ${c_flags} -Wall -Wextra -Wpedantic -Werror
    -o "${WORK_DIR}/readme_example_pc" "${examples}/readme_example.c" ${pc_flags})
list(FILTER pc_flags INCLUDE REGEX "^-L")
list(TRANSFORM pc_flags REPLACE "^-L" "")
string(REPLACE ";" ":" run_path "${pc_flags}")
expect_output(readme_example.c "${CMAKE_COMMAND}" -E env "LD_LIBRARY_PATH=${run_path}" "${WORK_DIR}/readme_example_pc")

if(WITH_IFVEC)
    set(env --unset=LD_LIBRARY_PATH)
    if(NOT IF_INDEX_VEC_PROGRAM_INSTALL_RPATH)
        set(env "LD_LIBRARY_PATH=${run_path}")
    endif()
    run("installed ifvec" "${CMAKE_COMMAND}" -E env ${env} "${stage}/bin/ifvec" --version)
    if(NOT run_output MATCHES "^ifvec [0-9]+\\.[0-9]+\\.[0-9]+\n$")
        message(FATAL_ERROR "installed ifvec --version printed: ${run_output}")
    endif()
endif()
message(STATUS "installed package works through find_package and pkg-config")
