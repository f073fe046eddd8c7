# The version of include/if_index_vec/version.h wherever the build shows it:
# if_index_vec.pc, the CMake package's version file, every manual page's
# title line, each tool's --version (TOOLS: NAME=PATH..., run behind RUNNER)
# and the top entry of debian/changelog, which is written by hand.
#   cmake -DSOURCE_DIR=… -DBUILD_DIR=… [-DTOOLS=…] [-DRUNNER=…] -P check_version.cmake
file(STRINGS "${SOURCE_DIR}/include/if_index_vec/version.h" lines
    REGEX "^#define IF_INDEX_VEC_VERSION_[A-Z]+ +[0-9]+$")
set(version "")
foreach(part MAJOR MINOR PATCH)
    if(NOT lines MATCHES "IF_INDEX_VEC_VERSION_${part} +([0-9]+)")
        message(FATAL_ERROR "version.h defines no IF_INDEX_VEC_VERSION_${part}")
    endif()
    list(APPEND version ${CMAKE_MATCH_1})
endforeach()
list(JOIN version "." version)
string(REPLACE "." "\\." v "${version}")
set(wrong "")

# Appends to `wrong` unless the file `where` matches `regex` (with the
# version, dots escaped, in place of @V@).
function(expect where regex)
    string(REPLACE "@V@" "${v}" regex "${regex}")
    if(NOT EXISTS "${where}")
        set(wrong "${wrong}\n  ${where}: missing" PARENT_SCOPE)
        return()
    endif()
    file(READ "${where}" text)
    if(NOT text MATCHES "${regex}")
        string(REGEX MATCH "^[^\n]*" first "${text}")
        set(wrong "${wrong}\n  ${where}: no match for ${regex} (first line: ${first})" PARENT_SCOPE)
    endif()
endfunction()

expect("${SOURCE_DIR}/debian/changelog" "^if-index-vec \\(@V@[-)]")
expect("${BUILD_DIR}/if_index_vec.pc" "\nVersion: @V@\n")
expect("${BUILD_DIR}/if_index_vecConfigVersion.cmake" "set\\(PACKAGE_VERSION \"@V@\"\\)")
file(GLOB pages "${SOURCE_DIR}/man/*.in")
if(NOT pages)
    set(wrong "${wrong}\n  ${SOURCE_DIR}/man: no manual pages")
endif()
foreach(page IN LISTS pages)
    get_filename_component(name "${page}" NAME_WLE)
    expect("${BUILD_DIR}/man/${name}" "^\\.TH [^\n]* \"if_index_vec @V@\" ")
endforeach()

foreach(tool IN LISTS TOOLS)
    string(REGEX MATCH "^[^=]+" name "${tool}")
    string(REGEX REPLACE "^[^=]+=" "" path "${tool}")
    execute_process(COMMAND ${RUNNER} ${path} --version OUTPUT_VARIABLE out RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0 OR NOT out STREQUAL "${name} ${version}\n")
        set(wrong "${wrong}\n  ${name} --version: '${out}' (exit ${rc})")
    endif()
endforeach()

if(wrong)
    message(FATAL_ERROR "version.h says ${version}, but:${wrong}")
endif()
message(STATUS "version ${version} in debian/changelog, the package files, the manual pages and: ${TOOLS}")
