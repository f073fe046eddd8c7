/* SPDX-License-Identifier: MIT */
/*
 * version.h - the version of libif_index_vec these headers belong to.
 *
 * The build reads its project version from the three numbers below, so they
 * are the one place the version is written.  MAJOR follows the SONAME
 * (libif_index_vec.so.MAJOR) and changes only when the ABI breaks; MINOR
 * grows with added functions, PATCH with fixes.
 *
 * IF_INDEX_VEC_VERSION combines them for preprocessor comparisons (MINOR and
 * PATCH stay below 100):
 *   #if IF_INDEX_VEC_VERSION >= IF_INDEX_VEC_VERSION_OF(1, 2, 0)
 */
#ifndef IF_INDEX_VEC_VERSION_H
#define IF_INDEX_VEC_VERSION_H

#define IF_INDEX_VEC_VERSION_MAJOR 1
#define IF_INDEX_VEC_VERSION_MINOR 0
#define IF_INDEX_VEC_VERSION_PATCH 0

#define IF_INDEX_VEC_VERSION_OF(major, minor, patch) ((major)*10000L + (minor)*100L + (patch))
#define IF_INDEX_VEC_VERSION                                                        \
    IF_INDEX_VEC_VERSION_OF(IF_INDEX_VEC_VERSION_MAJOR, IF_INDEX_VEC_VERSION_MINOR, \
                            IF_INDEX_VEC_VERSION_PATCH)

#endif /* IF_INDEX_VEC_VERSION_H */
