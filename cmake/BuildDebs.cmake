# Script: cmake -DSOURCE_DIR=... -DOUT_DIR=... [-DHOST_ARCH=ARCH] -P BuildDebs.cmake
# Copies the sources to OUT_DIR/src (what git tracks or would track, as it
# is in the working tree; outside a git checkout, everything but build/) and runs
# `dpkg-buildpackage -us -uc -b` there, which writes the packages to OUT_DIR.
# With HOST_ARCH (a Debian architecture other than the build machine's, e.g.
# powerpc) the packages are cross-built for it: `-a HOST_ARCH` with the nocheck
# profile, as the target's test dependencies are not installable here.
set(src "${OUT_DIR}/src")
file(REMOVE_RECURSE "${src}")
file(GLOB old "${OUT_DIR}/*.deb" "${OUT_DIR}/*.ddeb" "${OUT_DIR}/*.changes" "${OUT_DIR}/*.buildinfo")
if(old)
    file(REMOVE ${old})
endif()

execute_process(COMMAND git -C "${SOURCE_DIR}" ls-files --cached --others --exclude-standard
    RESULT_VARIABLE rc OUTPUT_VARIABLE files ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
if(rc EQUAL 0)
    string(REPLACE "\n" ";" files "${files}")
    foreach(f IN LISTS files)
        if(NOT f STREQUAL "" AND NOT IS_DIRECTORY "${SOURCE_DIR}/${f}"
           AND (EXISTS "${SOURCE_DIR}/${f}" OR IS_SYMLINK "${SOURCE_DIR}/${f}"))
            get_filename_component(dir "${src}/${f}" DIRECTORY)
            file(COPY "${SOURCE_DIR}/${f}" DESTINATION "${dir}")
        endif()
    endforeach()
else()
    file(GLOB top LIST_DIRECTORIES true "${SOURCE_DIR}/*" "${SOURCE_DIR}/.[!.]*")
    list(REMOVE_ITEM top "${SOURCE_DIR}/build" "${SOURCE_DIR}/.git")
    file(COPY ${top} DESTINATION "${src}")
endif()

# At most two jobs unless DEB_BUILD_OPTIONS says otherwise.
if(NOT "$ENV{DEB_BUILD_OPTIONS}" MATCHES "parallel=")
    string(STRIP "$ENV{DEB_BUILD_OPTIONS} parallel=2" options)
    set(ENV{DEB_BUILD_OPTIONS} "${options}")
endif()
set(args -us -uc -b)
execute_process(COMMAND dpkg-architecture -qDEB_BUILD_ARCH OUTPUT_VARIABLE build_arch
    OUTPUT_STRIP_TRAILING_WHITESPACE)
if(HOST_ARCH AND NOT HOST_ARCH STREQUAL build_arch)
    list(APPEND args -a "${HOST_ARCH}" -Pnocheck)
    if(NOT "$ENV{DEB_BUILD_OPTIONS}" MATCHES "(^| )nocheck( |$)")
        set(ENV{DEB_BUILD_OPTIONS} "$ENV{DEB_BUILD_OPTIONS} nocheck")
    endif()
endif()
message(STATUS "DEB_BUILD_OPTIONS=$ENV{DEB_BUILD_OPTIONS} dpkg-buildpackage ${args}")
execute_process(COMMAND dpkg-buildpackage ${args} WORKING_DIRECTORY "${src}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "dpkg-buildpackage failed (${rc})")
endif()
file(GLOB debs "${OUT_DIR}/*.deb")
string(REPLACE "${OUT_DIR}/" "" debs "${debs}")
message(STATUS "Debian packages in ${OUT_DIR}: ${debs}")
