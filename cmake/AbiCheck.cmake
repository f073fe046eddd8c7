# ABI of libif_index_vec.so against the committed baseline
# abi/libif_index_vec.abi, with libabigail; the abi preset builds the library
# with -O2 -g for it.  abidiff compares the exported functions and every
# type they reach, which are the public header's: the C interface passes
# only the record and <stdint.h> types.  No header filter (--headers-dir,
# --drop-private-types) is used: it takes uint32_t for a private type of
# libc's and hides a changed parameter type, and without source locations in
# the baseline it hides every change of the record.  The baseline holds the
# exported interface only, without source locations, so it changes only
# when the ABI does.
#   cmake --workflow --preset abi          compare (test abi.compare)
#   cmake --workflow --preset abi-update   rewrite the baseline on purpose
find_program(ABIDW abidw REQUIRED)
find_program(ABIDIFF abidiff REQUIRED)
set(IF_INDEX_VEC_ABI_BASELINE "${PROJECT_SOURCE_DIR}/abi/libif_index_vec.abi")

add_custom_target(abi_update
    COMMAND "${ABIDW}" --exported-interfaces-only --no-corpus-path --no-comp-dir-path --no-show-locs
            --type-id-style hash
            --out-file "${IF_INDEX_VEC_ABI_BASELINE}" $<TARGET_FILE:if_index_vec>
    COMMAND "${CMAKE_COMMAND}" -E echo "wrote ${IF_INDEX_VEC_ABI_BASELINE}"
    DEPENDS if_index_vec
    VERBATIM)

enable_testing()
add_test(NAME abi.compare
    COMMAND "${CMAKE_COMMAND}" "-DABIDIFF=${ABIDIFF}" "-DBASELINE=${IF_INDEX_VEC_ABI_BASELINE}"
            "-DLIBRARY=$<TARGET_FILE:if_index_vec>"
            -P "${PROJECT_SOURCE_DIR}/cmake/AbiCompare.cmake")
