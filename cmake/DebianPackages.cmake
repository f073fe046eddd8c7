# `cmake --workflow --preset deb`: the Debian packages of debian/, built by
# dpkg-buildpackage from a copy of the sources in <build dir>/src, so that
# every .deb (and the .ddeb debug symbols, .changes and .buildinfo) lands in
# the build directory itself.  The test step checks them: lintian with no
# error or warning, and a C program and a CMake project built against the
# unpacked packages (.ci/check-debs).
find_program(DPKG_BUILDPACKAGE dpkg-buildpackage REQUIRED)

# The packages take their version from debian/changelog: it must be the
# version of include/if_index_vec/version.h.
file(STRINGS "${PROJECT_SOURCE_DIR}/debian/changelog" _changelog_top LIMIT_COUNT 1)
if(NOT _changelog_top MATCHES "^if-index-vec \\(${PROJECT_VERSION}[-)]")
    message(FATAL_ERROR "debian/changelog starts with '${_changelog_top}', "
        "but the version is ${PROJECT_VERSION}: add a changelog entry (dch -v ${PROJECT_VERSION})")
endif()

add_custom_target(deb
    COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DOUT_DIR=${PROJECT_BINARY_DIR}
            -P "${PROJECT_SOURCE_DIR}/cmake/BuildDebs.cmake"
    USES_TERMINAL VERBATIM)

enable_testing()
foreach(check IN ITEMS lintian consumer)
    add_test(NAME deb.${check}
        COMMAND bash "${PROJECT_SOURCE_DIR}/.ci/check-debs" ${check} "${PROJECT_BINARY_DIR}")
endforeach()
