# The platform's interface-index codec (IF_INDEX_VEC_STANDIN_CODEC=OFF), as
# the imported target if_index_codec::if_index_codec, found one of two ways:
#   - IF_INDEX_CODEC_LIBRARY and IF_INDEX_CODEC_INCLUDE_DIR name the shared
#     library and the directory that holds <if_index_codec/if_index_codec.h>;
#   - otherwise find_package(if_index_codec CONFIG), through CMAKE_PREFIX_PATH.
# Sets IF_INDEX_VEC_CODEC_ROUTE to "variables" or "package" for the
# installed package files (cmake/Packaging.cmake), which must name this codec.
set(IF_INDEX_CODEC_LIBRARY "" CACHE FILEPATH
    "The platform's codec library (with IF_INDEX_CODEC_INCLUDE_DIR); empty: find_package(if_index_codec)")
set(IF_INDEX_CODEC_INCLUDE_DIR "" CACHE PATH
    "The directory that holds if_index_codec/if_index_codec.h of IF_INDEX_CODEC_LIBRARY")

if(IF_INDEX_CODEC_LIBRARY)
    if(NOT EXISTS "${IF_INDEX_CODEC_LIBRARY}")
        message(FATAL_ERROR "IF_INDEX_CODEC_LIBRARY: no such file: ${IF_INDEX_CODEC_LIBRARY}")
    endif()
    if(NOT EXISTS "${IF_INDEX_CODEC_INCLUDE_DIR}/if_index_codec/if_index_codec.h")
        message(FATAL_ERROR "IF_INDEX_CODEC_INCLUDE_DIR must hold if_index_codec/if_index_codec.h "
            "(it is '${IF_INDEX_CODEC_INCLUDE_DIR}')")
    endif()
    add_library(if_index_codec::if_index_codec SHARED IMPORTED)
    set_target_properties(if_index_codec::if_index_codec PROPERTIES
        IMPORTED_LOCATION "${IF_INDEX_CODEC_LIBRARY}"
        INTERFACE_INCLUDE_DIRECTORIES "${IF_INDEX_CODEC_INCLUDE_DIR}")
    set(IF_INDEX_VEC_CODEC_ROUTE variables)
    message(STATUS "Interface-index codec: ${IF_INDEX_CODEC_LIBRARY} (headers in ${IF_INDEX_CODEC_INCLUDE_DIR})")
else()
    find_package(if_index_codec CONFIG REQUIRED)
    if(NOT TARGET if_index_codec::if_index_codec)
        message(FATAL_ERROR "${if_index_codec_CONFIG} defines no target if_index_codec::if_index_codec")
    endif()
    set(IF_INDEX_VEC_CODEC_ROUTE package)
    message(STATUS "Interface-index codec: package ${if_index_codec_CONFIG} (version ${if_index_codec_VERSION})")
endif()
