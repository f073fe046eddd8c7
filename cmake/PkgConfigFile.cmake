# SPDX-License-Identifier: MIT
# if_index_install_pc_file(TEMPLATE): configures TEMPLATE (NAME.pc.in, with
# @PC_PREFIX@, @PC_INCLUDEDIR@ and @PC_LIBDIR@ for its first three lines) and
# installs NAME.pc into CMAKE_INSTALL_LIBDIR/pkgconfig.
#
# prefix= is found from the .pc file's own directory, so an installed tree can
# move (cmake --install --prefix, an unpacked package), or with
# IF_INDEX_VEC_PC_RELOCATABLE=OFF (the Debian packages) it is the prefix the
# file is installed to, /usr for the packages, filled in when installing, so
# that PKG_CONFIG_SYSROOT_DIR can put a tree of unpacked packages anywhere.
# Shared by the library and the stand-in codec, which also builds alone.
include_guard(GLOBAL)
include(GNUInstallDirs)
option(IF_INDEX_VEC_PC_RELOCATABLE "pkg-config files find their prefix from their own location" ON)

function(if_index_install_pc_file template)
    if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
        set(PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
        set(PC_LIBDIR "${CMAKE_INSTALL_FULL_LIBDIR}")
        set(PC_INCLUDEDIR "${CMAKE_INSTALL_FULL_INCLUDEDIR}")
    else()
        set(PC_PREFIX "@CMAKE_INSTALL_PREFIX@")
        if(IF_INDEX_VEC_PC_RELOCATABLE)
            file(RELATIVE_PATH up "/_/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/_")
            string(REGEX REPLACE "/$" "" up "${up}")
            set(PC_PREFIX "\${pcfiledir}/${up}")
        endif()
        set(PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
        set(PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
    endif()
    get_filename_component(name "${template}" NAME_WLE)
    set(pc "${PROJECT_BINARY_DIR}/${name}")
    configure_file("${template}" "${pc}.in" @ONLY)
    install(CODE "configure_file(\"${pc}.in\" \"${pc}\" @ONLY)")
    install(FILES "${pc}" DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
endfunction()
