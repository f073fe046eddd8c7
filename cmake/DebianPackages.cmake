# `cmake --workflow --preset deb` (or deb-powerpc): the Debian packages of
# debian/, built by dpkg-buildpackage from a copy of the sources in
# <build dir>/src, so that every .deb (and the .ddeb debug symbols, .changes
# and .buildinfo) lands in the build directory itself.  With
# IF_INDEX_VEC_DEB_HOST_ARCH they are cross-built for that Debian architecture
# (crossbuild-essential-ARCH).  The test step checks them (.ci/check-debs):
# lintian with no error or warning, the symbols files against the libraries
# as the next version would build them, programs built against the
# unpacked packages (run under qemu-user for another architecture), and the
# packaged tools on a codec of the ten platform calls in the stand-in's place.
set(IF_INDEX_VEC_DEB_HOST_ARCH "" CACHE STRING
    "Debian architecture to cross-build the packages for (empty: the build machine's)")
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
            -DHOST_ARCH=${IF_INDEX_VEC_DEB_HOST_ARCH} -P "${PROJECT_SOURCE_DIR}/cmake/BuildDebs.cmake"
    USES_TERMINAL VERBATIM)

enable_testing()
set(_deb_test_prefix deb)
if(IF_INDEX_VEC_DEB_HOST_ARCH)
    set(_deb_test_prefix deb.${IF_INDEX_VEC_DEB_HOST_ARCH})
endif()
foreach(check IN ITEMS lintian symbols consumer codec-swap)
    add_test(NAME ${_deb_test_prefix}.${check}
        COMMAND bash "${PROJECT_SOURCE_DIR}/.ci/check-debs" ${check} "${PROJECT_BINARY_DIR}")
endforeach()
