# Installation, the CMake package and the pkg-config file.
#
# Installed: libif_index_vec.so.1 with its links, every public header of
# include/if_index_vec/ (never the internal ones in src/), the tools with
# their manual pages, the C interface's manual page, ifvec's bash completion,
# the exported targets if_index_vec::if_index_vec and ::if_index_vec_cpp with
# a package config and version file, and if_index_vec.pc.  The stand-in codec
# installs itself (codec_standin/CMakeLists.txt).
#
# Both package files name the codec the library was built with: the stand-in
# or the platform's (cmake/ExternalCodec.cmake).  Both find their prefix from
# their own location, so a tree installed with `cmake --install --prefix DIR`
# works wherever it is moved; the Debian packages' .pc files name /usr instead
# (IF_INDEX_VEC_PC_RELOCATABLE=OFF).
include(CMakePackageConfigHelpers)

set(IF_INDEX_VEC_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/if_index_vec")

install(TARGETS if_index_vec if_index_vec_cpp
    EXPORT if_index_vecTargets
    LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}"
    INCLUDES DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/include/if_index_vec"
    DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}"
    FILES_MATCHING PATTERN "*.h" PATTERN "*.hpp")
# Manual pages: man/NAME.in becomes NAME in <build>/man, with the version of
# version.h; those are the pages installed (and linted by the test suite).
file(GLOB _man_pages CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/man/*.in")
foreach(_page IN LISTS _man_pages)
    get_filename_component(_name "${_page}" NAME_WLE)
    configure_file("${_page}" "${PROJECT_BINARY_DIR}/man/${_name}" @ONLY)
endforeach()
install(FILES "${PROJECT_BINARY_DIR}/man/if_index_vector.3"
    DESTINATION "${CMAKE_INSTALL_MANDIR}/man3")

# Programs: ifvec and the codec checker, each with its manual page.
foreach(tool IN ITEMS ifvec if_index_codec_check)
    if(NOT TARGET ${tool})
        continue()
    endif()
    install(TARGETS ${tool} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
    if(EXISTS "${PROJECT_BINARY_DIR}/man/${tool}.1")
        install(FILES "${PROJECT_BINARY_DIR}/man/${tool}.1" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
    endif()
    set_property(TARGET ${tool} PROPERTY INSTALL_RPATH "${IF_INDEX_VEC_PROGRAM_INSTALL_RPATH}")
endforeach()
set_property(TARGET if_index_vec PROPERTY INSTALL_RPATH "${IF_INDEX_VEC_LIBRARY_INSTALL_RPATH}")
# bash-completion loads a command's completion from a file named after it.
if(TARGET ifvec)
    install(FILES "${PROJECT_SOURCE_DIR}/tools/completion/ifvec"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/bash-completion/completions")
endif()

# What the package files say about the codec.
#   IF_INDEX_VEC_CODEC_DEPENDENCY  CMake code of if_index_vecConfig.cmake
#   IF_INDEX_VEC_PC_REQUIRES       the Requires: line of if_index_vec.pc
#   IF_INDEX_VEC_PC_CODEC_CFLAGS/_LIBS  the codec's flags when it has no .pc
set(IF_INDEX_VEC_PC_REQUIRES "Requires: if_index_codec")
set(IF_INDEX_VEC_PC_CODEC_CFLAGS "")
set(IF_INDEX_VEC_PC_CODEC_LIBS "")
if(IF_INDEX_VEC_STANDIN_CODEC OR IF_INDEX_VEC_CODEC_ROUTE STREQUAL "package")
    # Beside this package (installed, or the build tree's if_index_codec/),
    # else where it was found at build time, else CMAKE_PREFIX_PATH first.
    if(IF_INDEX_VEC_STANDIN_CODEC)
        get_target_property(_codec_version if_index_codec VERSION)
        set(_codec_paths [["${PACKAGE_PREFIX_DIR}" "${CMAKE_CURRENT_LIST_DIR}"]])
    else()
        set(_codec_version "${if_index_codec_VERSION}")
        set(_codec_paths "\"${if_index_codec_DIR}\"")
    endif()
    string(REGEX MATCH "^[0-9]+" _codec_major "${_codec_version}")
    set(IF_INDEX_VEC_CODEC_DEPENDENCY
        "find_dependency(if_index_codec ${_codec_major} CONFIG PATHS ${_codec_paths})")
    if(NOT IF_INDEX_VEC_STANDIN_CODEC)
        find_package(PkgConfig QUIET)
        if(PKG_CONFIG_FOUND)
            pkg_check_modules(IF_INDEX_VEC_CODEC_PC QUIET if_index_codec)
        endif()
        if(IF_INDEX_VEC_CODEC_PC_FOUND)
            # For the install_consumer test's pkg-config run.
            pkg_get_variable(_codec_pcfiledir if_index_codec pcfiledir)
            set(IF_INDEX_VEC_CODEC_PKGCONFIG_DIR "${_codec_pcfiledir}" CACHE INTERNAL "")
        endif()
        if(NOT IF_INDEX_VEC_CODEC_PC_FOUND)
            # No if_index_codec.pc: the imported target's own paths.
            get_target_property(_codec_configs if_index_codec::if_index_codec IMPORTED_CONFIGURATIONS)
            foreach(_config IN ITEMS "" ${_codec_configs})
                if(_config)
                    set(_config "_${_config}")
                endif()
                get_target_property(IF_INDEX_VEC_CODEC_LIBRARY if_index_codec::if_index_codec
                    IMPORTED_LOCATION${_config})
                if(IF_INDEX_VEC_CODEC_LIBRARY)
                    break()
                endif()
            endforeach()
            get_target_property(IF_INDEX_VEC_CODEC_INCLUDE_DIR if_index_codec::if_index_codec
                INTERFACE_INCLUDE_DIRECTORIES)
        endif()
    endif()
else()
    set(IF_INDEX_VEC_CODEC_LIBRARY "${IF_INDEX_CODEC_LIBRARY}")
    set(IF_INDEX_VEC_CODEC_INCLUDE_DIR "${IF_INDEX_CODEC_INCLUDE_DIR}")
    set(IF_INDEX_VEC_CODEC_DEPENDENCY "\
if(NOT TARGET if_index_codec::if_index_codec)
    add_library(if_index_codec::if_index_codec SHARED IMPORTED)
    set_target_properties(if_index_codec::if_index_codec PROPERTIES
        IMPORTED_LOCATION \"${IF_INDEX_CODEC_LIBRARY}\"
        INTERFACE_INCLUDE_DIRECTORIES \"${IF_INDEX_CODEC_INCLUDE_DIR}\")
endif()")
endif()
if(IF_INDEX_VEC_CODEC_LIBRARY)
    set(IF_INDEX_VEC_PC_REQUIRES "")
    foreach(_dir IN LISTS IF_INDEX_VEC_CODEC_INCLUDE_DIR)
        string(APPEND IF_INDEX_VEC_PC_CODEC_CFLAGS " -I${_dir}")
    endforeach()
    get_filename_component(_codec_file "${IF_INDEX_VEC_CODEC_LIBRARY}" NAME)
    get_filename_component(_codec_dir "${IF_INDEX_VEC_CODEC_LIBRARY}" DIRECTORY)
    if(_codec_file MATCHES "^lib(.+)\\.so$")
        set(IF_INDEX_VEC_PC_CODEC_LIBS " -L${_codec_dir} -l${CMAKE_MATCH_1}")
    else()
        set(IF_INDEX_VEC_PC_CODEC_LIBS " ${IF_INDEX_VEC_CODEC_LIBRARY}")
    endif()
endif()

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

# pkg-config
include(PkgConfigFile)
if_index_install_pc_file("${PROJECT_SOURCE_DIR}/cmake/if_index_vec.pc.in")
