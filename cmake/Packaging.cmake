# Installation, the CMake package, pkg-config files and the Debian package.
#
# Installed: the two shared libraries with their SONAME links, the public
# headers (never the internal ones in src/), ifvec, the exported targets
# if_index_vec::if_index_vec, ::if_index_codec and ::if_index_vec_cpp with a
# package config and version file, and if_index_vec.pc / if_index_codec.pc.
# The CMake package files find the prefix from their own location and the
# pkg-config files are written for the prefix installed to, so
# `cmake --install --prefix DIR` and the Debian package's /usr both work.
include(CMakePackageConfigHelpers)

set(IF_INDEX_VEC_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/if_index_vec")

install(TARGETS if_index_vec if_index_codec if_index_vec_cpp
    EXPORT if_index_vecTargets
    LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}"
    INCLUDES DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}")
if(TARGET ifvec)
    install(TARGETS ifvec RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
endif()
install(FILES
    "${PROJECT_SOURCE_DIR}/include/if_index_vec/if_index_text.hpp"
    "${PROJECT_SOURCE_DIR}/include/if_index_vec/if_index_vector.h"
    "${PROJECT_SOURCE_DIR}/include/if_index_vec/if_index_vector.hpp"
    DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/if_index_vec")
install(FILES "${PROJECT_SOURCE_DIR}/codec_standin/include/if_index_codec/if_index_codec.h"
    DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/if_index_codec")

install(EXPORT if_index_vecTargets
    NAMESPACE if_index_vec::
    DESTINATION "${IF_INDEX_VEC_CMAKE_DIR}")
# The build tree is usable as a package too (CMAKE_PREFIX_PATH=<build dir>).
export(EXPORT if_index_vecTargets
    NAMESPACE if_index_vec::
    FILE "${PROJECT_BINARY_DIR}/if_index_vecTargets.cmake")

configure_package_config_file(
    "${PROJECT_SOURCE_DIR}/cmake/if_index_vecConfig.cmake.in"
    "${PROJECT_BINARY_DIR}/if_index_vecConfig.cmake"
    INSTALL_DESTINATION "${IF_INDEX_VEC_CMAKE_DIR}")
# Any 1.x satisfies a request for 1.y with y <= x; SOVERSION follows the major.
write_basic_package_version_file(
    "${PROJECT_BINARY_DIR}/if_index_vecConfigVersion.cmake"
    COMPATIBILITY SameMajorVersion)
install(FILES
    "${PROJECT_BINARY_DIR}/if_index_vecConfig.cmake"
    "${PROJECT_BINARY_DIR}/if_index_vecConfigVersion.cmake"
    DESTINATION "${IF_INDEX_VEC_CMAKE_DIR}")

# pkg-config: the files are written at install time, so that prefix= is the
# prefix actually installed to (`cmake --install --prefix DIR`, or /usr in
# the Debian package) rather than the one configured.
set(IF_INDEX_VEC_PC_PREFIX "@IF_INDEX_VEC_PC_PREFIX@") # filled in at install time
foreach(pc if_index_vec if_index_codec)
    configure_file("${PROJECT_SOURCE_DIR}/cmake/${pc}.pc.in" "${PROJECT_BINARY_DIR}/${pc}.pc.in" @ONLY)
    install(CODE "
        set(IF_INDEX_VEC_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
        set(pc_file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig/${pc}.pc\")
        message(STATUS \"Installing: \${pc_file}\")
        configure_file(\"${PROJECT_BINARY_DIR}/${pc}.pc.in\" \"\${pc_file}\" @ONLY)
        list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${pc_file}\")")
endforeach()

# `cpack -G DEB` in a build directory: one package with the libraries, the
# headers, the package files and ifvec.
set(CPACK_PACKAGE_NAME "libif-index-vec")
set(CPACK_PACKAGE_VENDOR "if_index_vec developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "if_index_vec developers <if-index-vec@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION "libs")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Dependencies from the binaries themselves; the package's own libraries
# are found in the staging directory.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${PROJECT_BINARY_DIR}/src;${PROJECT_BINARY_DIR}/codec_standin")
set(CPACK_GENERATOR "DEB")
include(CPack)
