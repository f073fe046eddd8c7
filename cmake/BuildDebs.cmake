# Script: cmake -DSOURCE_DIR=... -DOUT_DIR=... [-DHOST_ARCH=ARCH] -P BuildDebs.cmake
# Copies the sources to OUT_DIR/src (CopySources.cmake: what git tracks or
# would track, as it is in the working tree) and runs
# `dpkg-buildpackage -us -uc -b` there, which writes the packages to OUT_DIR.
# With HOST_ARCH (a Debian architecture other than the build machine's, e.g.
# powerpc) the packages are cross-built for it: `-a HOST_ARCH` with the nocheck
# profile, as the target's test dependencies are not installable here.
file(GLOB old "${OUT_DIR}/*.deb" "${OUT_DIR}/*.ddeb" "${OUT_DIR}/*.changes" "${OUT_DIR}/*.buildinfo")
if(old)
    file(REMOVE ${old})
endif()
set(DEST_DIR "${OUT_DIR}/src")
include("${CMAKE_CURRENT_LIST_DIR}/CopySources.cmake")

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
execute_process(COMMAND dpkg-buildpackage ${args} WORKING_DIRECTORY "${DEST_DIR}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "dpkg-buildpackage failed (${rc})")
endif()
file(GLOB debs "${OUT_DIR}/*.deb")
string(REPLACE "${OUT_DIR}/" "" debs "${debs}")
message(STATUS "Debian packages in ${OUT_DIR}: ${debs}")
